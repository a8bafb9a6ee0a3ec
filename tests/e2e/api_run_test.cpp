// The built program run with a database token against the stand-in's REST
// API: the same album comes out as through the site's pages, the awkward
// artist credits come out right, a rate limit is waited out, and refusals
// end the run with a box and nothing touched.
#include <algorithm>
#include <filesystem>

#include "tests/support/whole_run.h"

using test_support::has_line;
using test_support::names_in;
using test_support::Outcome;
using test_support::read_file;
using test_support::shell_quoted;
using test_support::show_tags;
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

  // An untagged album of files named "NN Title.mp3".
  std::string album(const std::string& name, const std::vector<std::string>& titles) {
    const std::string folder = work.file(name);
    std::filesystem::create_directory(folder);
    for (size_t i = 0; i < titles.size(); ++i) {
      const std::string number = (i < 9 ? "0" : "") + std::to_string(i + 1);
      test_support::write_file(folder + "/" + number + " " + titles[i] + ".mp3",
                               test_support::untagged_mp3(static_cast<unsigned>(i + 1)));
    }
    return folder;
  }
};

}  // namespace

TEST_F(ApiRun, TheDemoAlbumComesOutAsThroughTheSitePages) {
  StandinServer server;
  const std::string by_site = work.file("site");
  const std::string by_api = work.file("api");
  std::filesystem::create_directories(by_site);
  std::filesystem::create_directories(by_api);
  const std::string enter_everywhere(40, '\n');
  ASSERT_EQ(plinth(server, test_support::make_demo_album(by_site), "", enter_everywhere).status, 0);
  const size_t site_requests = server.request_log().size();
  const Outcome run =
      plinth(server, test_support::make_demo_album(by_api), kToken, enter_everywhere);
  ASSERT_EQ(run.status, 0);

  const std::string site_folder = by_site + "/" + test_support::kTaggedDemoFolder;
  const std::string api_folder = by_api + "/" + test_support::kTaggedDemoFolder;
  ASSERT_TRUE(std::filesystem::is_directory(api_folder)) << run.drawn;
  ASSERT_EQ(names_in(api_folder), names_in(site_folder));
  for (const std::string& name : names_in(api_folder)) {
    const bool mp3 = name.size() > 4 && name.compare(name.size() - 4, 4, ".mp3") == 0;
    if (mp3) {
      EXPECT_EQ(show_tags(api_folder + "/" + name), show_tags(site_folder + "/" + name)) << name;
    } else {  // the playlist and the cover
      EXPECT_EQ(read_file(api_folder + "/" + name), read_file(site_folder + "/" + name)) << name;
    }
  }

  // Only the lookups went to the API, each with the token and the program's
  // agent; the cover went to its own host without the token.
  const std::vector<std::string> log = server.request_log();
  const std::vector<std::string> api_log(log.begin() + static_cast<long>(site_requests), log.end());
  ASSERT_EQ(api_log.size(), 6u);  // artists, labels and releases found, the list, the release
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(api_log[i].rfind(std::string("GET ") + kApi + "/", 0), 0u) << api_log[i];
    EXPECT_NE(api_log[i].find(" HTTP/1.0 Plinth/"), std::string::npos) << api_log[i];
  }
  EXPECT_EQ(api_log[4].find(std::string("GET ") + kApi + "/releases/100101 "), 0u);
  EXPECT_EQ(api_log[5], "GET http://images.discogs.com/R/R-100101.jpg HTTP/1.0 KAVORN(0.9/;p)");
  for (const std::string& line : log) {
    const bool with_token = line.find("[Authorization:") != std::string::npos;
    EXPECT_EQ(with_token, line.rfind(std::string("GET ") + kApi + "/", 0) == 0) << line;
  }
}

// Enter on every page tags a fully tagged album in a folder named after
// the album, whose title is then the first term and finds no artist but the
// release; and again on the folder that run named.
TEST_F(ApiRun, EnterOnEveryPageTagsAFullyTaggedAlbumAndAgainItsNewFolder) {
  StandinServer server;
  const std::string artist = work.file("Harbour Lights");
  const std::string folder = artist + "/Night Ferry";
  std::filesystem::create_directories(folder);
  const char* const titles[] = {"Salt Road",       "Night Ferry",    "Lanterns Over Water",
                                "Harbour Wall",    "The Quiet Deck", "Low Tide Signal",
                                "Gulls At Four",   "Crossing",       "Paper Boats",
                                "Foghorn Lullaby", "Pier Lights",    "Morning Landfall"};
  std::vector<test_support::Mp3> files;
  for (int i = 0; i < 12; ++i) {
    const std::string n = std::to_string(i + 1);
    files.push_back({folder + "/" + (i < 9 ? "0" : "") + n + " " + titles[i] + ".mp3",
                     {"seed=" + n, "TPE1=Harbour Lights", std::string("TIT2=") + titles[i],
                      "TALB=Night Ferry", "TRCK=" + n + "/12"}});
  }
  test_support::make_mp3s(files);
  const std::string enter_everywhere(20, '\n');
  const Outcome first = plinth(server, folder, kToken, enter_everywhere);
  EXPECT_EQ(first.status, 0) << first.drawn;
  EXPECT_TRUE(test_support::in_order(
      first.drawn, {"=== Select search term ===\n>  1. Night Ferry\n",
                    "=== Select search result term ===\n>  1. Night Ferry - Harbour Lights "
                    "(Release)\n   2. Night Ferry Remixes - Harbour Lights (Release)\n",
                    "=== Confirm track matches", "Done!"}));
  const std::string renamed = artist + "/" + test_support::kTaggedDemoFolder;
  ASSERT_TRUE(std::filesystem::is_directory(renamed)) << first.drawn;
  EXPECT_TRUE(has_line(show_tags(renamed + "/12 - Harbour Lights - Morning Landfall.mp3"),
                       "TALB: Night Ferry"));

  const Outcome second = plinth(server, renamed, kToken, enter_everywhere);
  EXPECT_EQ(second.status, 0) << second.drawn;
  EXPECT_TRUE(test_support::in_order(
      second.drawn, {">  3. Night Ferry\n", ">  1. Night Ferry - Harbour Lights (Release)\n",
                     "=== Confirm track matches", "Done!"}));
  EXPECT_TRUE(std::filesystem::is_directory(renamed));
}

TEST_F(ApiRun, NameVariationsJoinsSuffixesHeadingsIndexesMastersAndJapaneseNames) {
  StandinServer server;
  // The artist's list holds the release as a master; its credit asks the
  // "(2)" question, which is answered No.
  const std::string kiln = album("Sable Reyes - Kiln Nights",
                                 {"Ember Road", "Slow Glaze", "Firing", "Cooling", "Ash Garden"});
  const Outcome first = plinth(server, kiln, kToken, "\n\n\nn\n\n\n\n\n\n");
  EXPECT_TRUE(test_support::in_order(
      first.drawn, {">  1. Sable Reyes (Artist)", ">  1. Kiln Nights[, ]",
                    "Remove brackets after artist name for S. Reyes Feat. Orin Vale (2)?"}));
  EXPECT_TRUE(server.requested(std::string(kApi) + "/releases/100108"));
  const std::string credit = "S. Reyes Feat. Orin Vale (2)";
  const std::string kiln_done = work.file("[KST 3] " + credit + " - Kiln Nights");
  ASSERT_TRUE(std::filesystem::is_directory(kiln_done)) << first.drawn;
  EXPECT_EQ(names_in(kiln_done),
            (std::vector<std::string>{
                "A1 - " + credit + " - Ember Road.mp3", "A2 - Orin Vale (2) - Slow Glaze.mp3",
                "B1a - " + credit + " - Firing.mp3", "B1b - " + credit + " - Cooling.mp3",
                "B2 - " + credit + " - Ash Garden.mp3", "R-100108.jpg",
                credit + " - Kiln Nights [KST 3].m3u"}));
  const std::string cooling = show_tags(kiln_done + "/B1b - " + credit + " - Cooling.mp3");
  for (const std::string& frame :
       std::vector<std::string>{"TPE1: " + credit, "TIT2: Cooling", "TRCK: 4", "TYER: 2005",
                                std::string("TCON: DubTechno,Ambient")}) {
    EXPECT_TRUE(has_line(cooling, frame)) << frame << "\n" << cooling;
  }

  // A typed release address; names the code page lacks reach the names and
  // the tags whole.
  const std::string dawn = album("Kuon Minato", {"Shiosai", "Shiroi Todai", "Tide Clock"});
  const Outcome second =
      plinth(server, dawn, kToken,
             "= https://www.discogs.com/release/100109-Kuon-Minato\nmanual search\n\n\n\n");
  const std::string artist = "\xE4\xB9\x85\xE9\x81\xA0\xE3\x83\x9F\xE3\x83\x8A\xE3\x83\x88";
  const std::string title = "\xE5\xA4\x9C\xE6\x98\x8E\xE3\x81\x91\xE3\x81\xAE\xE6\xB8\xAF";
  const std::string dawn_done = work.file("[KST 7] " + artist + " - " + title);
  ASSERT_TRUE(std::filesystem::is_directory(dawn_done)) << second.drawn;
  EXPECT_FALSE(server.requested(std::string(kApi) + "/database/search"));
  const std::string tide = dawn_done + "/3 - " + artist + " - Tide Clock.mp3";
  ASSERT_TRUE(std::filesystem::exists(tide))
      << test_support::run_command("ls " + shell_quoted(dawn_done));
  const std::string tags = show_tags(tide);
  for (const std::string& frame :
       std::vector<std::string>{"TPE1: " + artist, "TALB: " + title, std::string("TYER: 2009")}) {
    EXPECT_TRUE(has_line(tags, frame)) << frame << "\n" << tags;
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
  EXPECT_EQ(run.drawn.find("slow down"), std::string::npos);
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
  } cases[] = {
      {{},
       "not-the-token",
       "",
       "The database refused the token (HTTP 401). The token comes from the environment "
       "variable DISCOGS_TOKEN, which wins over one set in the program: change or unset it",
       1},
      {{"--fault", "status-403", "--fault-path", "/search"},
       "",
       "",
       "The database's web pages refuse programs (HTTP 403), so the search cannot be read "
       "from them. With a personal access token the program asks the database's API instead. "
       "Set a personal access token now? Get one from the database's developer settings "
       "(https://www.discogs.com/settings/developers); it is kept in " +
           token_file + ".",
       1},
      {{},
       kToken,
       "= https://www.discogs.com/release/999999\nmanual search\n",
       "The database has no release 999999 (HTTP 404 from api.discogs.com).",
       1},
      {{"--fault", "status-500", "--fault-path", "/database/"},
       kToken,
       "",
       "api.discogs.com answered the request for the search with HTTP status 500.",
       1},
  };
  const auto before = snapshot(work.path());
  for (const auto& c : cases) {
    StandinServer server(c.server_args);
    const Outcome run = plinth(server, folder, c.token, c.input + "\n");
    EXPECT_EQ(run.status, 3) << c.box;
    std::string drawn = run.drawn;  // the terminal wraps the box's lines
    std::replace(drawn.begin(), drawn.end(), '\n', ' ');
    EXPECT_NE(drawn.find(c.box), std::string::npos) << c.box << "\n" << run.drawn;
    EXPECT_EQ(server.request_log().size(), c.requests) << c.box;
  }
  EXPECT_EQ(snapshot(work.path()), before);
}

// A refusal that a token can mend offers the token page at once, and the
// step is tried again with the new token: a token in the file that the
// database refuses, and the site's pages that refuse programs.
TEST_F(ApiRun, ARefusalIsMendedOnTheSpotWithANewToken) {
  const std::string token_file = config.config_home() + "/plinth/discogs-token";
  const struct {
    const char* name;
    std::vector<std::string> server_args;
    std::string stored;  // in the token file before the run
  } cases[] = {
      {"refused token", {}, "not-the-token\n"},
      {"refused pages", {"--fault", "status-403", "--fault-path", "/search"}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StandinServer server(c.server_args);
    std::filesystem::remove(token_file);
    if (!c.stored.empty()) test_support::write_file(token_file, c.stored);
    const std::string folder = album("Harbour Lights - Night Ferry", {"Salt Road", "Night Ferry"});
    // Next, Yes to the offer, the token and OK, the box that says where it
    // went, then Enter through the pages and Done.
    const Outcome run = WholeRun::plinth(shell_quoted(folder),
                                         "\ny\n= " + std::string(kToken) + "\n\n\n\n\n\n\n", "/",
                                         "-u DISCOGS_TOKEN PLINTH_API_URL=" + std::string(kApi) +
                                             " http_proxy=" + shell_quoted(server.proxy_url()));
    EXPECT_EQ(run.status, 0) << run.drawn;
    EXPECT_EQ(read_file(token_file), std::string(kToken) + "\n");
    EXPECT_TRUE(std::filesystem::is_directory(work.file("[HL 007] Harbour Lights - Night Ferry")))
        << run.drawn;
    std::filesystem::remove_all(work.file("[HL 007] Harbour Lights - Night Ferry"));
  }
}
