// The library run as a user makes it, through the stand-in's API: a dry
// run first, then the run that tags what leaves no doubt and leaves the
// rest, a second run that asks the database nothing about the albums done,
// the history, and the whole run taken back.
#include <gmock/gmock.h>

#include <filesystem>

#include "tests/support/whole_run.h"

using test_support::Outcome;
using test_support::shell_quoted;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const char kApiSource[] = "DISCOGS_TOKEN=standin-token PLINTH_API_URL=http://api.discogs.com";

class BatchRun : public test_support::WholeRun {
 protected:
  BatchRun() : library(work.file("library")) {
    std::filesystem::create_directories(library + "/Harbour Lights");
    std::filesystem::create_directories(library + "/.hidden");
    test_support::make_demo_album(library + "/Harbour Lights");
    std::vector<test_support::Mp3> files;
    // Two discs in one folder, the extension in capitals.
    const std::vector<std::string> deep = {
        "Sounding Line",    "Cold Current", "Trench",   "Ballast",   "Keel Light",
        "Surface Interval", "Brine Choir",  "Undertow", "Last Buoy", "Harbour Mouth"};
    add(files, "Juno Berg - Deep Water Sessions", deep, ".MP3", 100);
    const std::vector<std::string> weather = {"Low Pressure", "Drizzle Map",    "Isobar",
                                              "Fog Bank",     "Clearing Later", "Barometer"};
    add(files, "Nils Arvo - Slow Weather", weather, ".mp3", 200);
    add(files, "Unknown Band - Demo Tape", {"First Song", "Second Song"}, ".mp3", 300);
    add(files, ".hidden/Nils Arvo - Slow Weather (2001)", weather, ".mp3", 400);
    test_support::make_mp3s(files);
    std::filesystem::create_directory_symlink(library + "/Nils Arvo - Slow Weather",
                                              library + "/Linked - Slow Weather (2001)");
  }

  void add(std::vector<test_support::Mp3>& files, const std::string& folder,
           const std::vector<std::string>& titles, const std::string& extension, unsigned seed) {
    std::filesystem::create_directories(library + "/" + folder);
    for (size_t i = 0; i < titles.size(); ++i) {
      files.push_back({library + "/" + folder + "/" + (i < 9 ? "0" : "") + std::to_string(i + 1) +
                           " " + titles[i] + extension,
                       {"seed=" + std::to_string(seed + i)}});
    }
  }

  Outcome batch(const std::string& options) {
    return plinth(options + " " + shell_quoted(library), "", "/", kApiSource);
  }

  // The API requests the server got since `from`, without the note that a
  // request came over a connection already open.
  std::vector<std::string> api_requests(size_t from) const {
    const std::string reused = " [same connection]";
    std::vector<std::string> requests;
    const std::vector<std::string> log = server->request_log();
    for (size_t i = from; i < log.size(); ++i) {
      if (log[i].rfind("GET http://api.discogs.com/", 0) != 0) continue;
      std::string request = log[i];
      if (request.size() > reused.size() &&
          request.compare(request.size() - reused.size(), reused.size(), reused) == 0)
        request.resize(request.size() - reused.size());
      requests.push_back(request);
    }
    return requests;
  }

  std::string library;
};

}  // namespace

TEST_F(BatchRun, DryRunThenTaggedAndLeftThenNothingAskedThenTakenBack) {
  start_server();
  const auto before = snapshot(library);
  const std::vector<std::string> audio_before = audio_under(library);
  const std::string ferry =
      library + "/Harbour Lights/Harbour_Lights - Night Ferry [HL_007] - (2005)";
  const std::string tagged_ferry =
      library + "/Harbour Lights/[HL 007] Harbour Lights - Night Ferry";
  const std::string deep = library + "/Juno Berg - Deep Water Sessions";
  const std::vector<std::string> report = {
      "tagged  " + ferry + " -> " + tagged_ferry + "  (release 100101)",
      "tagged  " + deep + " -> " + library +
          "/[GR 033] Juno Berg - Deep Water Sessions  (release 100207)",
      "left    " + library +
          "/Nils Arvo - Slow Weather: two releases fit: 100204 (GR 021, 2001) and 100205 (GR 021R, "
          "2012)",
      "left    " + library +
          "/Unknown Band - Demo Tape: no release found for 'Unknown Band' 'Demo Tape'"};

  const Outcome dry = batch("--batch --dry-run");
  ASSERT_EQ(dry.status, 0) << dry.drawn;
  EXPECT_THAT(test_support::lines_of(dry.trace),
              ElementsAre(HasSubstr("dry run"), report[0], report[1], report[2], report[3],
                          HasSubstr("(a dry run: nothing was changed)")));
  EXPECT_EQ(snapshot(library), before);
  const std::string journal = config.state_home() + "/plinth/journal";
  EXPECT_TRUE(!std::filesystem::exists(journal) || std::filesystem::is_empty(journal));

  const size_t after_dry = server->request_log().size();
  const Outcome run = batch("--batch");
  ASSERT_EQ(run.status, 0) << run.drawn;
  EXPECT_THAT(test_support::lines_of(run.trace),
              ElementsAre(report[0], report[1], report[2], report[3],
                          "4 albums: 2 tagged, 2 left, 0 failed, 0 unchanged since tagged before; "
                          "8 requests to the database"));
  EXPECT_EQ(api_requests(after_dry).size(), 8u);
  EXPECT_TRUE(std::filesystem::exists(tagged_ferry + "/01 - Harbour Lights - Salt Road.mp3"));
  EXPECT_TRUE(
      std::filesystem::exists(library +
                              "/[GR 033] Juno Berg - Deep Water Sessions/02-5 - Juno Berg - "
                              "Harbour Mouth.mp3"));
  EXPECT_EQ(audio_under(library), audio_before);

  const size_t after_run = server->request_log().size();
  const Outcome again = batch("--batch");
  ASSERT_EQ(again.status, 0) << again.drawn;
  for (const std::string& request : api_requests(after_run)) {
    EXPECT_THAT(request, ::testing::Not(HasSubstr("100101")));
    EXPECT_THAT(request, ::testing::Not(HasSubstr("Deep")));
    EXPECT_THAT(request, ::testing::Not(HasSubstr("Harbour")));
  }
  EXPECT_THAT(again.trace,
              HasSubstr("done    " + tagged_ferry + ": tagged before, unchanged since"));

  const Outcome history = plinth("--history", "", "/", kApiSource);
  EXPECT_THAT(history.trace, HasSubstr("library run of 2 albums"));

  const Outcome undo = plinth("--undo --batch", "", "/", kApiSource);
  EXPECT_EQ(undo.status, 0) << undo.trace;
  EXPECT_EQ(snapshot(library), before) << undo.trace;
}

TEST_F(BatchRun, ASlowDownIsWaitedOutAndTheSearchAskedAgain) {
  start_server({"--api-too-many", "1", "--api-retry-after", "1"});
  const std::string deep = library + "/Juno Berg - Deep Water Sessions";
  const Outcome run = plinth("--batch " + shell_quoted(deep), "", "/", kApiSource);
  ASSERT_EQ(run.status, 0) << run.drawn << run.trace;
  EXPECT_THAT(run.trace, HasSubstr("tagged  " + deep + " -> "));
  const std::vector<std::string> requests = api_requests(0);
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0], requests[1]);
}
