#include <gtest/gtest.h>

#include <cstdlib>

#include "app/pages.h"
#include "app/settings.h"
#include "model/run_state.h"
#include "resources/templates.h"
#include "tests/support/current_folder.h"
#include "tests/support/mp3_maker.h"
#include "tests/support/run_state_reset.h"
#include "tests/support/scripted_front_end.h"
#include "tests/support/temp_dir.h"

using namespace test_support;

namespace {

class MatchConfirmationPage : public ::testing::Test {
 protected:
  MatchConfirmationPage() {
    reset_run_state();
    Release release;
    release.artist = "Harbour Lights";
    release.title = "Night Ferry";
    release.track_names = {"Salt Road", "Night Ferry", "Crossing"};
    release.track_numbers = {"1", "2", "3"};
    release.track_artists = {"", "", ""};
    g_releases.push_back(release);
    g_run.release_index = 0;
    g_run.files = {"a.mp3", "b.mp3", "c.mp3"};
    g_run.assignment.track_of_file = {0, 1, 2};
    std::filesystem::create_directory(album);
    g_run.directory = album;
    g_run.directory = album;
    g_run.folder_name = "album";
    for (size_t i = 0; i < g_run.files.size(); ++i) {
      Mp3Recipe recipe;
      recipe.seed = static_cast<unsigned>(i + 1);
      write_mp3(album + "/" + g_run.files[i], recipe);
    }
  }
  std::vector<std::string> matches_shown() const {
    return ui.pages.back().lines.at(kIdMatchesList);
  }
  KeepCurrentFolder keep;
  TempDir parent;
  const std::string album = parent.file("album");
  ScriptedFrontEnd ui;
};

}  // namespace

TEST_F(MatchConfirmationPage, ForceMatchNeedsAFileAndThenATrack) {
  ui.script = {press(kIdForceMatch), select_line(kIdOriginalList, 0), press(kIdForceMatch),
               press(kIdCancelButton)};
  show_match_confirmation_page();
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[0].text, "Please select an original track filename to rename");
  EXPECT_EQ(ui.boxes[1].text, "Please assign a matching track filename from the release database");
  EXPECT_TRUE(ui.boxes[0].owned);
  EXPECT_EQ(g_run.assignment.track_of_file, (std::vector<int32_t>{0, 1, 2}));
}

TEST_F(MatchConfirmationPage, ForceMatchReassignsAndClearsBothSelections) {
  ui.script = {select_line(kIdOriginalList, 0), select_line(kIdReleaseList, 2),
               press(kIdForceMatch), press(kIdCancelButton)};
  show_match_confirmation_page();
  EXPECT_TRUE(ui.boxes.empty());
  // Two files may share a track: the third keeps it.
  EXPECT_EQ(g_run.assignment.track_of_file, (std::vector<int32_t>{2, 1, 2}));
  const DrawnPage after = ui.pages[ui.pages.size() - 2];  // after Force Match
  EXPECT_EQ(after.lines.at(kIdMatchesList),
            (std::vector<std::string>{"3 Crossing", "2 Night Ferry", "3 Crossing"}));
  EXPECT_EQ(after.selections.at(kIdOriginalList), -1);
  EXPECT_EQ(after.selections.at(kIdReleaseList), -1);
}

TEST_F(MatchConfirmationPage, MatchesListCannotBeSelected) {
  ui.script = {select_line(kIdMatchesList, 0), press(kIdCancelButton)};
  show_match_confirmation_page();
  EXPECT_EQ(ui.problems.size(), 1u);
  EXPECT_EQ(ui.pages.front().caption, "Confirm track matches");
}

TEST_F(MatchConfirmationPage, ResizingBelowTheMinimumKeepsThreeEqualColumns) {
  std::vector<platform::Rect> lists;
  ui.script = {resize(100, 50), inspect([&](platform::Window& page) {
                 EXPECT_EQ(page.client_size().width, 400);
                 EXPECT_EQ(page.client_size().height, 200);
                 for (int id : {kIdReleaseList, kIdOriginalList, kIdMatchesList})
                   lists.push_back(page.control(id)->rect);
               }),
               close_page()};
  show_match_confirmation_page();
  ASSERT_EQ(lists.size(), 3u);
  EXPECT_EQ(lists[0].width, 113);
  EXPECT_EQ(lists[1].width, 113);
  EXPECT_EQ(lists[2].width, 113);
  EXPECT_EQ(lists[1].left, 133);
  EXPECT_EQ(lists[2].left, 266);
}

TEST_F(MatchConfirmationPage, OpeningLaysOutPadsAndFills) {
  g_releases[0].track_numbers = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
  g_releases[0].track_names.resize(10, "x");
  ui.script = {inspect([](platform::Window& page) {
                 const platform::Size client = page.client_size();
                 EXPECT_EQ(page.control(kIdNext)->rect.left, 2 * (client.width / 3));
                 EXPECT_EQ(page.control(kIdReleaseList)->rect.height, client.height - 75);
                 EXPECT_EQ(page.menu_item_check(kCmdToggleM3u), 1);  // the playlist is on
                 EXPECT_EQ(page.scroll_pairs().size(), 1u);          // files beside matches
               }),
               press(kIdCancelButton)};
  show_match_confirmation_page();
  EXPECT_EQ(g_releases[0].track_numbers[0], "01");
  EXPECT_EQ(g_releases[0].track_numbers[9], "10");
  EXPECT_EQ(ui.pages.front().lines.at(kIdReleaseList)[0], "01 Salt Road");
}

TEST_F(MatchConfirmationPage, CancelCloseAndMenuLeaveTheFilesUntouched) {
  const std::string before = read_file(album + "/a.mp3");
  ui.script = {press(kCmdOnlineHelp), press(kCmdToggleM3u), press(kCmdAbout),
               press(kIdCancelButton)};
  show_match_confirmation_page();
  EXPECT_EQ(ui.opened_urls,
            std::vector<std::string>{"http://www.plinth.example/plinthhelp.html#trackmatch"});
  ui.script = {close_page()};
  show_match_confirmation_page();
  EXPECT_EQ(read_file(album + "/a.mp3"), before);
  EXPECT_TRUE(std::filesystem::exists(album + "/b.mp3"));
  size_t entries = 0;
  for (auto it = std::filesystem::directory_iterator(album);
       it != std::filesystem::directory_iterator(); ++it)
    ++entries;
  EXPECT_EQ(entries, 3u);
}

TEST_F(MatchConfirmationPage, FinishAppliesTheReleaseThenCloses) {
  setenv("http_proxy", "http://127.0.0.1:9", 1);  // no cover: nothing listens there
  g_m3u = false;
  g_dirf = "/1 - /2";
  g_tf = "/8 /7";
  ui.script = {press(kIdNext)};
  show_match_confirmation_page();
  unsetenv("http_proxy");
  EXPECT_EQ(ui.box_texts(), std::vector<std::string>{"Done!"});
  EXPECT_TRUE(ui.script.empty());
  const std::string renamed = parent.file("Harbour Lights - Night Ferry");
  EXPECT_TRUE(std::filesystem::exists(renamed + "/1 Salt Road.mp3"));
  EXPECT_TRUE(std::filesystem::exists(renamed + "/3 Crossing.mp3"));
}
