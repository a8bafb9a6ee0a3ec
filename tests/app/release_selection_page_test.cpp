#include <gtest/gtest.h>

#include <cstdlib>

#include "app/pages.h"
#include "model/run_state.h"
#include "resources/templates.h"
#include "tests/support/run_state_reset.h"
#include "tests/support/scripted_front_end.h"
#include "tests/support/standin_server.h"

using namespace test_support;

namespace {

// The releases of the bundled catalogue's artist Harbour Lights.
void harbour_lights_page() {
  g_collection = {{"Harbour Lights", "Night Ferry", "Tidewater Records", "CD, Album"},
                  {"Harbour Lights", "Tidal Lines EP", "Tidewater Records", "12\", EP"},
                  {"Harbour Lights", "Split Tides", "Lumen Lane", "CD, Single"}};
  g_rurl = {"/release/100101", "/release/100102", "/release/100106"};
}

class ReleaseSelectionPage : public ::testing::Test {
 protected:
  ReleaseSelectionPage() {
    reset_run_state();
    setenv("http_proxy", server.proxy_url().c_str(), 1);
  }
  ~ReleaseSelectionPage() override { unsetenv("http_proxy"); }
  StandinServer server;
  ScriptedFrontEnd ui;
};

}  // namespace

TEST(ReleaseLine, ArtistPagesShowTheLabelAndLabelPagesTheArtist) {
  const ReleaseEntry entry{"Harbour Lights", "Night Ferry", "Tidewater Records", "CD, Album"};
  EXPECT_EQ(release_line(entry, false), "Night Ferry[CD, Album, Tidewater Records]");
  EXPECT_EQ(release_line(entry, true), "Night Ferry[CD, Album, Harbour Lights]");
}

TEST_F(ReleaseSelectionPage, BestFittingReleaseIsPreselectedAndRead) {
  harbour_lights_page();
  g_run.folder_name = "harbour lights - tidal lines ep";
  g_run.files = {"a1.mp3", "b1.mp3"};
  g_run.local_tracks.resize(2);
  ui.script = {press(kIdNext)};
  show_release_selection_page();
  const DrawnPage& shown = ui.pages.front();
  EXPECT_EQ(shown.caption, "Select release");
  EXPECT_EQ(shown.lines.at(kIdResultList).front(), "Night Ferry[CD, Album, Tidewater Records]");
  EXPECT_EQ(shown.selections.at(kIdResultList), 1);
  EXPECT_EQ(shown.extents.at(kIdResultList), 42 * 5 + 10);  // the EP's line
  ASSERT_EQ(g_releases.size(), 1u);
  EXPECT_EQ(g_releases[0].title, "Tidal Lines EP");
  EXPECT_EQ(g_run.release_index, 0);
  EXPECT_EQ(g_run.assignment.track_of_file.size(), 2u);
  EXPECT_FALSE(g_cancelled);
}

TEST_F(ReleaseSelectionPage, AnotherLineFetchesThatRelease) {
  harbour_lights_page();
  g_label = true;
  ui.script = {select_line(kIdResultList, 2), press(kIdNext)};
  show_release_selection_page();
  EXPECT_EQ(ui.pages.front().lines.at(kIdResultList)[2], "Split Tides[CD, Single, Harbour Lights]");
  EXPECT_EQ(ui.pages.front().selections.at(kIdResultList), 0);  // nothing scores: the first
  ASSERT_EQ(g_releases.size(), 1u);
  EXPECT_EQ(g_releases[0].title, "Split Tides");
  const std::vector<std::string> log = server.request_log();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0], "GET http://www.discogs.com/release/100106 HTTP/1.0 KAVORN(0.9/;p)");
}

TEST_F(ReleaseSelectionPage, EmptyListAsksForASelectionAndFetchesNothing) {
  ui.script = {press(kIdNext), press(kIdCancelButton)};
  show_release_selection_page();
  EXPECT_EQ(ui.pages.front().extents.at(kIdResultList), 5);
  EXPECT_EQ(ui.pages.front().selections.at(kIdResultList), -1);
  EXPECT_EQ(ui.box_texts(),
            std::vector<std::string>{"Please select a search result from the list"});
  EXPECT_TRUE(ui.boxes[0].owned);
  EXPECT_TRUE(g_cancelled);
  EXPECT_TRUE(server.request_log().empty());
}

TEST_F(ReleaseSelectionPage, CancelAndCloseFetchNothing) {
  harbour_lights_page();
  ui.script = {press(kIdCancelButton)};
  show_release_selection_page();
  EXPECT_TRUE(g_cancelled);
  reset_run_state();
  harbour_lights_page();
  ui.script = {close_page()};
  show_release_selection_page();
  EXPECT_TRUE(g_cancelled);
  EXPECT_TRUE(server.request_log().empty());
  EXPECT_TRUE(g_releases.empty());
}

TEST_F(ReleaseSelectionPage, UnreachableDatabaseClosesThePageWithoutARelease) {
  harbour_lights_page();
  server.stop();
  ui.script = {press(kIdNext)};
  show_release_selection_page();
  EXPECT_TRUE(g_releases.empty());
  EXPECT_EQ(g_run.release_index, -1);
  EXPECT_FALSE(g_cancelled);
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_TRUE(ui.script.empty());
}
