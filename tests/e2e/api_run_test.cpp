// The built program run with a database token against the stand-in's REST
// API: the same album comes out as through the site's pages, a rate limit
// is waited out, and refusals end the run with a box and nothing touched.
// The awkward releases are golden transcripts.
#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>

#include "tests/support/whole_run.h"

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

using test_support::Outcome;
using test_support::shell_quoted;
using test_support::StandinServer;

namespace {

const char kToken[] = "standin-token";  // the one the stand-in accepts
const char kApi[] = "http://api.discogs.com";

class ApiRun : public test_support::WholeRun {
 protected:
  // Runs the program on the folder through the server, with the token (none
  // for ""), the input on standard input and the terminal front end.
  Outcome plinth(const StandinServer& server, const std::string& folder, const std::string& token,
                 const std::string& input) {
    const std::string source =
        token.empty() ? "-u DISCOGS_TOKEN"
                      : "DISCOGS_TOKEN=" + shell_quoted(token) + " PLINTH_API_URL=" + kApi;
    return WholeRun::plinth(shell_quoted(folder), input, "/",
                            source + " http_proxy=" + shell_quoted(server.proxy_url()));
  }

  // An album of untagged files named "NN Title.mp3".
  std::string album(const std::string& name, const std::vector<std::string>& titles) {
    const std::string folder = work.file(name);
    std::filesystem::create_directory(folder);
    std::vector<test_support::Mp3> files;
    for (size_t i = 0; i < titles.size(); ++i)
      files.push_back({folder + "/0" + std::to_string(i + 1) + " " + titles[i] + ".mp3",
                       {"seed=" + std::to_string(i + 1)}});
    test_support::make_mp3s(files);
    return folder;
  }
};

}  // namespace

// The demo album's tags come out as through the site's pages: the golden
// texts of both runs list the same files. Here, what they do not show.
TEST_F(ApiRun, TheDemoAlbumsRequestsGoToTheApiWithTheTokenOverOneConnection) {
  StandinServer server;
  const Outcome run =
      plinth(server, test_support::make_demo_album(work.path()), kToken, std::string(40, '\n'));
  ASSERT_EQ(run.status, 0) << run.drawn;

  // Only the lookups went to the API, each with the token and the program's
  // agent; the cover went to its own host without the token, though over
  // the same connection (the proxy's): one for the whole run.
  const std::vector<std::string> api_log = server.request_log();
  ASSERT_EQ(api_log.size(), 6u);  // artists, labels and releases found, the list, the release
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_THAT(api_log[i], StartsWith(std::string("GET ") + kApi + "/"));
    EXPECT_THAT(api_log[i], HasSubstr(" HTTP/1.1 Plinth/"));
  }
  EXPECT_THAT(api_log[4], StartsWith(std::string("GET ") + kApi + "/releases/100101 "));
  EXPECT_EQ(api_log[5],
            "GET http://images.discogs.com/R/R-100101.jpg HTTP/1.1 KAVORN(0.9/;p) "
            "[same connection]");
  for (size_t i = 0; i < api_log.size(); ++i) {
    const bool again = api_log[i].find("[same connection]") != std::string::npos;
    EXPECT_EQ(again, i > 0) << api_log[i];
  }
  for (const std::string& line : api_log) {
    const bool with_token = line.find("[Authorization:") != std::string::npos;
    EXPECT_EQ(with_token, line.rfind(std::string("GET ") + kApi + "/", 0) == 0) << line;
  }
}

// How long each wait is and when the waits give up is the API source's own
// test; here the wait is told without a box and the run goes on.
TEST_F(ApiRun, ARateLimitIsWaitedOutAndTheRunFinishes) {
  StandinServer server({"--api-too-many", "2", "--api-retry-after", "1"});
  const std::string folder = album("Harbour Lights - Night Ferry", {"Salt Road", "Night Ferry"});
  const Outcome run = plinth(server, folder, kToken, std::string(20, '\n'));
  const size_t first = run.trace.find("The database asked to slow down (HTTP 429). ");
  ASSERT_NE(first, std::string::npos) << run.trace;
  EXPECT_EQ(run.trace.find("Waiting 1 second before", first), first + 44) << run.trace;
  EXPECT_THAT(run.drawn, Not(HasSubstr("slow down")));
  EXPECT_FALSE(std::filesystem::exists(folder));
  EXPECT_TRUE(std::filesystem::is_directory(work.file("[HL 007] Harbour Lights - Night Ferry")));
}

// Each refusal is a box that says why; the input ends there, and the run
// ends as one that could not go on, with nothing touched.
TEST_F(ApiRun, RefusalsAreToldInABoxAndTouchNothing) {
  const std::string folder = album("Harbour Lights - Night Ferry", {"Salt Road", "Night Ferry"});
  const std::string token_file = config.config_home() + "/plinth/discogs-token";
  const struct {
    std::vector<std::string> server_args;
    std::string token;
    std::string input;
    std::string box;
    size_t requests;
    int status;
  } cases[] = {
      {{},
       "not-the-token",
       "",
       "The database refused the token (HTTP 401). The token comes from the environment "
       "variable DISCOGS_TOKEN, which wins over one set in the program: change or unset it",
       1,
       3},
      {{"--fault", "status-403", "--fault-path", "/search"},
       "",
       "",
       "The database's web pages refuse programs (HTTP 403), so the search cannot be read "
       "from them. With a personal access token the program asks the database's API instead. "
       "Set a personal access token now? Get one from the database's developer settings "
       "(https://www.discogs.com/settings/developers); it is kept in " +
           token_file + ".",
       1,
       3},
      // Sent, it would end the header line; not sent, the site's pages
      // would be read behind the user's back.
      {{},
       std::string(kToken) + "\x1b[8m",
       "",
       "The database token in the environment variable DISCOGS_TOKEN holds a control "
       "character, so it cannot be sent and was not used.",
       0,
       3},
  };
  const auto before = snapshot(work.path());
  for (const auto& c : cases) {
    StandinServer server(c.server_args);
    const Outcome run = plinth(server, folder, c.token, c.input + "\n");
    EXPECT_EQ(run.status, c.status) << c.box;
    std::string drawn = run.drawn;  // the terminal wraps the box's lines
    std::replace(drawn.begin(), drawn.end(), '\n', ' ');
    EXPECT_THAT(drawn, HasSubstr(c.box)) << c.box << "\n" << run.drawn;
    EXPECT_EQ(server.request_log().size(), c.requests) << c.box;
  }
  EXPECT_EQ(snapshot(work.path()), before);
}
