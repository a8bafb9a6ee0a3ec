// The built program run with a database token against the stand-in's REST
// API: the same album comes out as through the site's pages, the awkward
// artist credits come out right, a rate limit is waited out, and refusals
// end the run with a box and nothing touched.
#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>

#include "tests/support/whole_run.h"

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

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

  // An album of files named "NN Title.mp3", untagged, or file i with the
  // artist and title tags[i].
  std::string album(const std::string& name, const std::vector<std::string>& titles,
                    const std::vector<std::pair<std::string, std::string>>& tags = {}) {
    const std::string folder = work.file(name);
    std::filesystem::create_directory(folder);
    std::vector<test_support::Mp3> files;
    for (size_t i = 0; i < titles.size(); ++i) {
      files.push_back(
          {folder + "/" + (i < 9 ? "0" : "") + std::to_string(i + 1) + " " + titles[i] + ".mp3",
           {"seed=" + std::to_string(i + 1)}});
      if (i < tags.size())
        files.back().fields.insert(
            files.back().fields.end(),
            {"v2=4", "enc=3", "TPE1=" + tags[i].first, "TIT2=" + tags[i].second});
    }
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

// Enter on every page tags a fully tagged album in a folder named after
// the album, whose title is then the first term and finds no artist but the
// release; and again on the folder that run named.
TEST_F(ApiRun, EnterOnEveryPageTagsAFullyTaggedAlbumAndAgainItsNewFolder) {
  StandinServer server;
  const std::string artist = work.file("Harbour Lights");
  const std::string folder = artist + "/Night Ferry";
  std::filesystem::create_directories(folder);
  std::vector<test_support::Mp3> files;
  for (int i = 0; i < 12; ++i) {
    const std::string n = std::to_string(i + 1);
    files.push_back(
        {folder + "/" + (i < 9 ? "0" : "") + n + " " + test_support::kDemoTitles[i] + ".mp3",
         {"seed=" + n, "TPE1=Harbour Lights", std::string("TIT2=") + test_support::kDemoTitles[i],
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

// Releases as the database keeps them: a name variation joined to a "(2)"
// (answered No), headings, an index and a master; a compilation with a
// track artist's suffix (at a typed address); tags in Japanese; and an
// accented album through the site's pages. Every playlist line names a file.
TEST_F(ApiRun, RealReleasesComeOutAsAUserExpects) {
  StandinServer server;
  const std::string kuon = "\xE4\xB9\x85\xE9\x81\xA0\xE3\x83\x9F\xE3\x83\x8A\xE3\x83\x88";
  const std::string shiosai = "\xE6\xBD\xAE\xE9\xA8\x92";
  const std::string todai = "\xE7\x99\xBD\xE3\x81\x84\xE7\x81\xAF\xE5\x8F\xB0";
  const std::string dawn = "\xE5\xA4\x9C\xE6\x98\x8E\xE3\x81\x91\xE3\x81\xAE\xE6\xB8\xAF";
  const std::string celeste = "C\xC3\xA9leste V\xC3\xA5rdahl";
  const std::string enter(20, '\n');
  const std::string credit = "S. Reyes Feat. Orin Vale (2)";
  const struct {
    const char* name;
    std::string token, folder;
    std::vector<std::string> titles;
    std::vector<std::pair<std::string, std::string>> tags;
    std::string input;
    std::vector<std::string> drawn;
    std::string done;
    std::vector<std::string> names;   // besides the playlist and the cover
    std::vector<std::string> frames;  // of the last file
  } rows[] = {
      {"name variation, suffix, index and master",
       kToken,
       "Sable Reyes - Kiln Nights",
       {"Ember Road", "Slow Glaze", "Firing", "Cooling", "Ash Garden"},
       {},
       "\n\n\nn\n" + enter,
       {">  1. Sable Reyes (Artist)", ">  1. Kiln Nights[2005, ]",
        "Remove brackets after artist name for " + credit + "?"},
       "[KST 3] " + credit + " - Kiln Nights",
       {"A1 - " + credit + " - Ember Road.mp3", "A2 - Orin Vale (2) - Slow Glaze.mp3",
        "B1a - " + credit + " - Firing.mp3", "B1b - " + credit + " - Cooling.mp3",
        "B2 - " + credit + " - Ash Garden.mp3"},
       {"TPE1: " + credit, "TRCK: 5", "TYER: 2005", "TCON: DubTechno,Ambient"}},
      {"a track artist's suffix",
       kToken,
       "Quay Signals",
       {"Static Bloom", "Low Beacon"},
       {},
       "= https://www.discogs.com/release/100113\nmanual search\nyes\n" + enter,
       {"Remove brackets after artist name for Dune Relay (2)?"},
       "[QT 1] Various - Quay Signals",
       {"1 - Pale Harrow - Static Bloom.mp3", "2 - Dune Relay - Low Beacon.mp3"},
       {"TPE1: Dune Relay", "TALB: Quay Signals"}},
      // Letters the code page lacks: from the tags to the search, and on
      // into the names and tags whole.
      {"Japanese tags",
       kToken,
       "Kuon Minato",
       {"Shiosai", "Shiroi Todai", "Tide Clock"},
       {{kuon, shiosai}, {kuon, todai}, {kuon, "Tide Clock"}},
       enter,
       {">  2. " + kuon + "\n   3. " + shiosai + "\n", ">  1. " + kuon + " (Artist)"},
       "[KST 7] " + kuon + " - " + dawn,
       {"1 - " + kuon + " - " + shiosai + ".mp3", "2 - " + kuon + " - " + todai + ".mp3",
        "3 - " + kuon + " - Tide Clock.mp3"},
       {"TPE1: " + kuon, "TALB: " + dawn, "TYER: 2009"}},
      {"accents through the site",
       "",
       celeste + " - Sm\xC3\xA5 Ljus (2006)",
       {"\xC3\x96ver Isen", "Caf\xC3\xA9 Nocturne", "No\xC3\xABl \xC3\x80 Bergen"},
       {},
       enter,
       {">  1. " + celeste},
       "[TW 024] " + celeste + " - Sm\xC3\xA5 Ljus",
       {"1 - " + celeste + " - \xC3\x96ver Isen.mp3",
        "2 - " + celeste + " - Caf\xC3\xA9 Nocturne.mp3",
        "5 - " + celeste + " - No\xC3\xABl \xC3\x80 Bergen.mp3"},
       {"TPE1: " + celeste}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Outcome run =
        plinth(server, album(row.folder, row.titles, row.tags), row.token, row.input);
    EXPECT_TRUE(test_support::in_order(run.drawn, row.drawn));
    const std::string done = work.file(row.done);
    ASSERT_TRUE(std::filesystem::is_directory(done)) << run.drawn;
    std::vector<std::string> tracks;
    std::string playlist;
    for (const std::string& name : names_in(done)) {
      if (name.size() > 4 && name.compare(name.size() - 4, 4, ".mp3") == 0) tracks.push_back(name);
      if (name.size() > 4 && name.compare(name.size() - 4, 4, ".m3u") == 0) playlist = name;
    }
    EXPECT_EQ(tracks, row.names);
    ASSERT_FALSE(tracks.empty());
    const std::string tags = show_tags(done + "/" + tracks.back());
    for (const std::string& frame : row.frames)
      EXPECT_TRUE(has_line(tags, frame)) << frame << "\n" << tags;
    // The playlist names exactly the folder's files, as the file system
    // holds their names, a CR LF line each.
    std::vector<std::string> lines = {"#EXTM3U\r"};
    for (const std::string& track : tracks) lines.push_back(track + "\r");
    EXPECT_EQ(test_support::lines_of(read_file(done + "/" + playlist)), lines) << playlist;
  }
  // Accented names go to the site as UTF-8, the term and the link alike.
  EXPECT_TRUE(
      server.requested("http://www.discogs.com/search?type=all&q=C%C3%A9leste+V%C3%A5rdahl"));
  EXPECT_TRUE(server.requested("http://www.discogs.com/artist/C%C3%A9leste+V%C3%A5rdahl"));
  EXPECT_TRUE(server.requested(
      std::string(kApi) +
      "/database/search?q=%E4%B9%85%E9%81%A0%E3%83%9F%E3%83%8A%E3%83%88&type=artist&per_page=100"));
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
