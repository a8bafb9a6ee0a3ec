#include "app/driver.h"
#include "app/command_line_options.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/candidates.h"
#include "app/settings.h"
#include "app/windows_command_line.h"
#include "model/run_state.h"
#include "platform/codepage.h"
#include "platform/registry.h"
#include "platform/trace.h"
#include "tests/support/current_folder.h"
#include "tests/support/isolated_config.h"
#include "tests/support/mp3_maker.h"
#include "tests/support/recording_front_end.h"
#include "tests/support/run_state_reset.h"
#include "tests/support/temp_dir.h"

using test_support::text_frame;
using test_support::TextEncoding;

namespace {

std::vector<std::pair<std::string, int>> terms() {
  std::vector<std::pair<std::string, int>> out;
  for (int i = 0; i < g_terms.size(); ++i) out.push_back({g_terms.item(i), g_terms.count(i)});
  return out;
}

class Driver : public ::testing::Test {
 protected:
  void SetUp() override {
    test_support::reset_run_state();
    config.write_settings_file("<?xml version=\"1.0\"?>\n<Settings m3u=\"t\" />\n");
  }

  // A folder in the temp folder with one tagged and one untagged file.
  std::string make_album(const std::string& name) {
    const std::string folder = dir.file(name);
    std::filesystem::create_directory(folder);
    test_support::Mp3Recipe tagged;
    tagged.id3v2_version = 3;
    tagged.frames = {text_frame("TPE1", "SOME ARTIST", TextEncoding::kLatin1),
                     text_frame("TIT2", "  harbour   lights", TextEncoding::kLatin1)};
    test_support::write_mp3(folder + "/01.mp3", tagged);
    test_support::Mp3Recipe untagged;
    untagged.seed = 2;
    test_support::write_mp3(folder + "/02.mp3", untagged);
    return folder;
  }

  int run(const std::string& folder) {
    return run_plinth({"plinth " + folder, platform::name_from_fs(folder)});
  }

  test_support::KeepCurrentFolder keep;
  test_support::IsolatedConfig config;
  test_support::TempDir dir;
  test_support::RecordingFrontEnd boxes;
};

}  // namespace

TEST(CommandLineParse, FolderFollowsTheFirstBlankAfterExe) {
  EXPECT_EQ(folder_from_command_line("C:\\Tools\\app.exe \"D:\\My Music\\Album\""),
            "D:\\My Music\\Album");
  EXPECT_EQ(folder_from_command_line("\"C:\\Program Files\\app.exe\" D:\\My Music\\Album"),
            "D:\\My Music\\Album");
  EXPECT_EQ(folder_from_command_line("\"C:\\Tools\\app.exe\""), "C:\\Tools\\app.exe");
  EXPECT_EQ(folder_from_command_line("C:\\Tools\\app.exe "), "");
  EXPECT_EQ(folder_from_command_line("app D:\\Album"), "app D:\\Album");
  EXPECT_EQ(folder_from_command_line("C:\\x.EXE D:\\A"), "C:\\x.EXE D:\\A");  // case matters
}

TEST(CommandLineOptions, OptionsPrintAndEndTheRunButFoldersRun) {
  const struct {
    std::vector<const char*> argv;
    bool option;
    int status;
    const char* printed;
  } kCases[] = {
      {{"plinth", "--help"}, true, 0, "Usage: plinth FOLDER\n"},
      {{"plinth", "-h"}, true, 0, "Usage: plinth FOLDER\n"},
      {{"plinth", "--version"}, true, 0, "plinth " PLINTH_TEST_VERSION "\n"},
      {{"plinth", "-help"}, true, 2, ""},
      {{"plinth", "./-help"}, false, -1, ""},
      {{"plinth", "My", "--help"}, false, -1, ""},
      {{"plinth"}, false, -1, ""},
  };
  for (const auto& c : kCases) {
    int status = -1;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(run_command_line_option(static_cast<int>(c.argv.size()), c.argv.data(), status),
              c.option) << c.argv.back();
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind(c.printed, 0), 0u) << c.argv.back();
    EXPECT_EQ(testing::internal::GetCapturedStderr().empty(), c.status != 2) << c.argv.back();
    EXPECT_EQ(status, c.status) << c.argv.back();
  }
  // The help tells where the files are.
  const char* help[] = {"plinth", "--help"};
  int status = -1;
  testing::internal::CaptureStdout();
  run_command_line_option(2, help, status);
  const std::string text = testing::internal::GetCapturedStdout();
  for (const std::string& path : {platform::trace_log_path(), platform::registry_file_paths()[0]})
    EXPECT_NE(text.find(path), std::string::npos) << path;
}

TEST(Candidates, FolderNameIsTheTextAfterTheLastSlash) {
  EXPECT_EQ(folder_name_of("/music/Some Album"), "Some Album");
  EXPECT_EQ(folder_name_of("/music/"), "");
  EXPECT_EQ(folder_name_of("Album"), "Album");
}

TEST(Candidates, WorkedExample) {
  std::string name = "Some_Artist - Some Title [CAT_042] - (2005)";
  clean_folder_name(name);
  EXPECT_EQ(name, "some artist - some title [cat 042] - (2005)");
  EXPECT_EQ(folder_candidates(name),
            (std::vector<std::string>{"Some Artist", "Some Title", "Cat 042", "2005"}));
}

TEST(Candidates, EmptiedPieceRestartsThePassAndCleansAgain) {
  EXPECT_EQ(folder_candidates("  two   blanks"), std::vector<std::string>{"Two  Blanks"});
  EXPECT_EQ(folder_candidates("  two   blanks- "), std::vector<std::string>{"Two Blanks"});
  EXPECT_EQ(folder_candidates("a     b-(x)- "), (std::vector<std::string>{"A  B", "X"}));
  EXPECT_TRUE(folder_candidates(" - [ ] ( ) -").empty());
  EXPECT_TRUE(folder_candidates("").empty());
}

TEST(Candidates, CleaningRemovesBreaksAndUnderscores) {
  std::string name = "A_B\tC\r\nD \xC9T\xC9";
  clean_folder_name(name);
  EXPECT_EQ(name, "a bcd \xC9t\xC9");  // only A-Z change case
}

TEST(Candidates, TagsAddToTheCountsUntrimmed) {
  test_support::reset_run_state();
  g_terms.add_terms(folder_candidates("some artist - some title"));
  LocalTrack tagged;
  tagged.artist = "SOME ARTIST";
  tagged.title = " the  title";
  tagged.album = "some title";
  tagged.track_number = "1";
  add_tag_candidates({tagged, LocalTrack(), tagged});
  EXPECT_EQ(terms(), (std::vector<std::pair<std::string, int>>{
                         {"Some Artist", 3}, {"Some Title", 3}, {" The  Title", 2}}));
}

TEST_F(Driver, RunListsReadsAndBuildsTheCandidates) {
  const std::string folder = make_album("Some_Artist - Some Title [CAT_042] - (2005)");
  EXPECT_EQ(run(folder), 0);
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_EQ(g_run.directory, folder);
  EXPECT_EQ(g_run.folder_name, "Some_Artist - Some Title [CAT_042] - (2005)");
  EXPECT_EQ(g_clean_name, "some artist - some title [cat 042] - (2005)");
  EXPECT_EQ(g_run.files, (std::vector<std::string>{"01.mp3", "02.mp3"}));
  ASSERT_EQ(g_run.local_tracks.size(), 2u);
  EXPECT_EQ(terms(), (std::vector<std::pair<std::string, int>>{{"Some Artist", 2},
                                                               {"Some Title", 1},
                                                               {"Cat 042", 1},
                                                               {"2005", 1},
                                                               {"  Harbour   Lights", 1}}));
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(folder));
}

TEST_F(Driver, SettingsFromTheFileReplaceTheDefaults) {
  config.write_settings_file("<?xml version=\"1.0\"?>\n<Settings m3u=\"f\" g_tf=\"/7\" />\n");
  g_m3u = true;
  run(make_album("Album"));
  EXPECT_FALSE(g_m3u);
  EXPECT_EQ(g_tf, "/7");
  EXPECT_EQ(g_dirf, "[/4] /1 - /2");
}

TEST_F(Driver, MissingRegistryValueWarnsAndRunsOnDefaults) {
  config.write_registry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Varnel\\Plinth]\n");
  g_tf = "";
  run(make_album("Album"));
  EXPECT_EQ(boxes.texts(),
            (std::vector<std::string>{"Could not read key value",
                                      "Could not read settings from registry - using defaults"}));
  EXPECT_EQ(boxes.boxes[0].caption, "Error");
  EXPECT_EQ(boxes.boxes[1].caption, "Error!");
  EXPECT_EQ(boxes.boxes[1].style, platform::kBoxOk | platform::kBoxIconWarning);
  EXPECT_EQ(g_tf, "/8 - /6 - /7");
  EXPECT_EQ(g_run.files.size(), 2u);
}

TEST_F(Driver, BrokenSettingsFileWarnsAndRunsOnDefaults) {
  config.write_settings_file("not xml at all");
  run(make_album("Album"));
  EXPECT_EQ(boxes.texts(),
            (std::vector<std::string>{"871", "Could not read settings file - using defaults"}));
  EXPECT_EQ(g_run.files.size(), 2u);
}

TEST_F(Driver, FolderThatCannotBeEnteredEndsTheRunNamingIt) {
  make_album("Album");
  std::filesystem::current_path(dir.file("Album"));  // files here must not be listed
  const std::string missing = dir.file("Missing Album");
  EXPECT_EQ(run(missing), 0);
  EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Could not open the folder " + missing});
  EXPECT_TRUE(g_run.files.empty());
  EXPECT_EQ(g_terms.size(), 0);
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(dir.file("Album")));
}

TEST_F(Driver, NoFolderArgumentEndsTheRun) {
  std::filesystem::current_path(make_album("Album"));
  EXPECT_EQ(run_plinth({"plinth", ""}), 0);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].caption, "Error!");
  EXPECT_TRUE(g_run.files.empty());
}

TEST_F(Driver, FolderWithoutMp3FilesEndsTheRun) {
  std::filesystem::create_directory(dir.file("Empty"));
  test_support::write_file(dir.file("Empty/cover.jpg"), "x");
  EXPECT_EQ(run(dir.file("Empty")), 0);
  EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Failed to find mp3 files!"});
  EXPECT_TRUE(g_run.local_tracks.empty());
  EXPECT_EQ(g_terms.size(), 0);
}
