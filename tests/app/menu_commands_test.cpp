#include "app/menu_commands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/pages.h"
#include "app/settings.h"
#include "model/run_state.h"
#include "resources/templates.h"
#include "tests/support/isolated_config.h"
#include "tests/support/mp3_maker.h"
#include "tests/support/run_state_reset.h"
#include "tests/support/scripted_front_end.h"

using namespace test_support;

namespace {

class MenuCommands : public ::testing::Test {
 protected:
  MenuCommands() { reset_run_state(); }
  // Runs the search-term page with the script, then cancels it.
  void on_first_page(std::deque<ScriptStep> steps) {
    steps.push_back(press(kIdCancelButton));
    ui.script = steps;
    show_search_term_page();
  }
  ScriptedFrontEnd ui;
};

}  // namespace

TEST_F(MenuCommands, ToggelM3uTwiceShowsOffThenOn) {
  std::vector<int> marks;
  const auto mark = inspect(
      [&](platform::Window& page) { marks.push_back(page.menu_item_check(kCmdToggleM3u)); });
  on_first_page({mark, press(kCmdToggleM3u), mark, press(kCmdToggleM3u), mark});
  EXPECT_EQ(marks, (std::vector<int>{1, 0, 1}));  // the menu's check mark
  EXPECT_TRUE(g_m3u);
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[0].text, "M3U Playlist Generation off");
  EXPECT_EQ(ui.boxes[1].text, "M3U Playlist Generation on");
  EXPECT_EQ(ui.boxes[0].caption, "Plinth Duziva - www.plinth.example");
  EXPECT_TRUE(ui.boxes[0].owned);
}

TEST_F(MenuCommands, AboutNamesTheProgramItsVersionAndItsMaker) {
  on_first_page({press(kCmdAbout)});
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].caption, "Plinth Duziva - www.plinth.example");
  EXPECT_EQ(ui.boxes[0].text,
            "Names and tags a folder of MP3 files from the Discogs web music database.\n"
            "Version " PLINTH_TEST_VERSION "\nwww.plinth.example");
}

TEST_F(MenuCommands, OnlineHelpOfTheFirstPageHasNoAnchor) {
  on_first_page({press(kCmdOnlineHelp)});
  EXPECT_EQ(ui.opened_urls, std::vector<std::string>{"http://www.plinth.example/plinthhelp.html"});
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(MenuCommands, DirectoryShowsTheFolderAsGiven) {
  g_run.directory = "/home/me/Music/Some Artist - Title";
  on_first_page({press(kCmdDirectory)});
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "/home/me/Music/Some Artist - Title");
}

TEST_F(MenuCommands, FilenamesOkTakesTheFieldsCutTo255ButNoTemplateThatNamesNothing) {
  const std::string long_template(300, 'd');
  on_first_page({press(kCmdFilenames), set_text(kIdDirectoryFormat, long_template),
                 set_text(kIdPlaylistFormat, ""), set_text(kIdTrackFormat, "/8 /7"),
                 press(kIdNext), set_text(kIdPlaylistFormat, "/2"),
                 set_text(kIdTrackFormat, "/0 ?"), press(kIdNext),
                 set_text(kIdTrackFormat, "/8 /7"), press(kIdNext)});
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[0].text.find("The playlist template gives an empty file name"), 0u);
  EXPECT_EQ(ui.boxes[1].text.find("The track template gives an empty file name"), 0u);
  const std::vector<DrawnPage> names = ui.drawn("Output Name Configuration");
  ASSERT_FALSE(names.empty());
  EXPECT_EQ(names.front().texts.at(kIdDirectoryFormat), "[/4] /1 - /2");
  EXPECT_EQ(names.front().texts.at(kIdPlaylistFormat), "/1 - /2 [/4]");
  EXPECT_EQ(names.front().texts.at(kIdTrackFormat), "/8 - /6 - /7");
  EXPECT_EQ(g_dirf, long_template.substr(0, 255));
  EXPECT_EQ(g_m3uf, "/2");
  EXPECT_EQ(g_tf, "/8 /7");
  EXPECT_TRUE(g_cancelled);  // the page under it was cancelled afterwards
}

TEST_F(MenuCommands, FilenamesThenCancelOrCloseKeepsTheTemplates) {
  on_first_page({press(kCmdFilenames), set_text(kIdDirectoryFormat, "x"),
                 set_text(kIdTrackFormat, "y"), press(kIdCancelButton), press(kCmdFilenames),
                 set_text(kIdPlaylistFormat, "z"), close_page()});
  EXPECT_EQ(g_dirf, "[/4] /1 - /2");
  EXPECT_EQ(g_m3uf, "/1 - /2 [/4]");
  EXPECT_EQ(g_tf, "/8 - /6 - /7");
  // The name dialog's Cancel did not cancel the page under it.
  EXPECT_TRUE(ui.script.empty());
  EXPECT_FALSE(ui.ran_out);
}

TEST_F(MenuCommands, NamesHelpListsThePlaceholdersExactly) {
  on_first_page({press(kCmdFilenames), press(kIdNamesHelp), press(kIdCancelButton)});
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].caption, "Help");
  EXPECT_TRUE(ui.boxes[0].owned);
  EXPECT_EQ(ui.boxes[0].text,
            "/1 = Release Artist\n/2 = Release Title\n/3 = Label\n/4 = Catalouge Number\n"
            "/5 = Release Date\n/6 = Track Artist\n/7 = Track Name\n/8 = Track Number\n"
            "/9 = Style");
}

TEST_F(MenuCommands, UnknownCommandsAreNotMenuCommands) {
  ui.script = {inspect([](platform::Window& page) {
                 EXPECT_FALSE(handle_menu_command(page, 40099, ""));
                 EXPECT_FALSE(handle_menu_command(page, 1000, ""));
               }),
               press(kIdCancelButton)};
  show_search_term_page();
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(MenuCommands, SaveSettingsWritesTheTemplatesAndTheSwitch) {
  test_support::IsolatedConfig config;
  config.write_settings_file("<?xml version=\"1.0\"?>\n<Settings m3u=\"t\" />\n");
  on_first_page({press(kCmdFilenames), set_text(kIdTrackFormat, "/7 by /1"), press(kIdNext),
                 press(kCmdToggleM3u), press(kCmdSaveSettings)});
  const std::string saved = test_support::read_file(config.settings_path());
  EXPECT_NE(saved.find("g_tf=\"/7 by /1\""), std::string::npos) << saved;
  EXPECT_NE(saved.find("m3u=\"f\""), std::string::npos) << saved;
  EXPECT_NE(saved.find("g_dirf=\"[/4] /1 - /2\""), std::string::npos) << saved;
}

TEST_F(MenuCommands, DatabaseTokenIsStoredForTheOwnerOnlyAndAnEmptyTextRemovesIt) {
  test_support::IsolatedConfig config;
  const std::string token_file = config.config_home() + "/plinth/discogs-token";
  on_first_page({press(kCmdDatabaseToken), set_text(kIdTokenField, "  abc123 \t"), press(kIdNext)});
  EXPECT_EQ(test_support::read_file(token_file), "abc123\n");
  struct stat info {};
  ASSERT_EQ(stat(token_file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(g_run.api.token, "abc123");  // in force for the rest of the run
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "The database token was stored in " + token_file + ".");

  on_first_page({press(kCmdDatabaseToken), set_text(kIdTokenField, ""), press(kIdNext)});
  EXPECT_NE(stat(token_file.c_str(), &info), 0);
  EXPECT_EQ(g_run.api.token, "");

  // A folder in the file's place: the box says why, nothing else changes.
  ASSERT_EQ(mkdir(token_file.c_str(), 0700), 0);
  on_first_page({press(kCmdDatabaseToken), set_text(kIdTokenField, "abc"), press(kIdNext)});
  EXPECT_EQ(ui.boxes.back().text,
            "Could not store the database token in " + token_file + ": Is a directory");
  EXPECT_EQ(g_run.api.token, "");
}
