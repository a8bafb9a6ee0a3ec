#include <gtest/gtest.h>

#include "app/pages.h"
#include "model/run_state.h"
#include "resources/templates.h"
#include "tests/support/run_state_reset.h"
#include "tests/support/scripted_front_end.h"

using namespace test_support;

namespace {

class SearchResultPage : public ::testing::Test {
 protected:
  SearchResultPage() { reset_run_state(); }
  ScriptedFrontEnd ui;
};

}  // namespace

TEST(SearchResultLine, NamesKindAndDecodesAfterwards) {
  EXPECT_EQ(search_result_line("/artist/The+Quiet+Ones"), "The Quiet Ones (Artist)");
  EXPECT_EQ(search_result_line("/label/North%20Sound"), "North Sound (Label)");
  EXPECT_EQ(search_result_line("/artist/Band+%28UK%29"), "Band (UK) (Artist)");
  // artist/ anywhere makes it an artist, cut after eight characters.
  EXPECT_EQ(search_result_line("/label/artist/X"), "rtist/X (Artist)");
  // Links shorter than their prefix give an empty name rather than a fault.
  EXPECT_EQ(search_result_line("/label"), " (Label)");
  EXPECT_EQ(search_result_line(""), " (Label)");
}

TEST_F(SearchResultPage, OneResultIsPreselectedAndTaken) {
  g_rurl = {"/artist/The+Quiet+Ones"};
  g_result_url = "stale";
  ui.script = {press(kIdNext)};
  show_search_result_page();
  EXPECT_EQ(ui.pages.front().caption, "Select search result term");
  EXPECT_EQ(ui.pages.front().selections.at(kIdResultList), 0);
  EXPECT_EQ(g_result_url, "http://www.discogs.com/artist/The+Quiet+Ones");
  EXPECT_FALSE(g_label);
  EXPECT_FALSE(g_cancelled);
}

TEST_F(SearchResultPage, NextWithoutSelectionComplainsAndStays) {
  g_rurl = {"/artist/A", "/label/North%20Sound"};
  ui.script = {press(kIdNext), select_line(kIdResultList, 1), press(kIdNext)};
  show_search_result_page();
  EXPECT_EQ(ui.pages.front().selections.at(kIdResultList), -1);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Please select a search result from the list");
  EXPECT_EQ(ui.boxes[0].caption, "Error!");
  EXPECT_TRUE(ui.boxes[0].owned);
  // The link is used as it came, not decoded.
  EXPECT_EQ(g_result_url, "http://www.discogs.com/label/North%20Sound");
  EXPECT_TRUE(g_label);
}

TEST_F(SearchResultPage, CancelLeavesNoAddress) {
  g_rurl = {"/artist/A"};
  ui.script = {press(kIdCancelButton)};
  show_search_result_page();
  EXPECT_TRUE(g_cancelled);
  EXPECT_EQ(g_result_url, "");

  reset_run_state();
  g_rurl = {"/artist/A"};
  ui.script = {};
  show_search_result_page();  // the script runs out: the close box
  EXPECT_TRUE(g_cancelled);
  EXPECT_EQ(g_result_url, "");
}

TEST_F(SearchResultPage, OnlineHelpOpensTheRefineSection) {
  g_rurl = {"/artist/A"};
  ui.script = {press(kCmdOnlineHelp), press(kIdCancelButton)};
  show_search_result_page();
  EXPECT_EQ(ui.opened_urls,
            std::vector<std::string>{"http://www.plinth.example/plinthhelp.html#refine"});
}
