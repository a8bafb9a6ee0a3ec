#include <gtest/gtest.h>

#include "app/pages.h"
#include "model/run_state.h"
#include "resources/templates.h"
#include "tests/support/run_state_reset.h"
#include "tests/support/scripted_front_end.h"

using namespace test_support;

namespace {

class SearchTermPage : public ::testing::Test {
 protected:
  SearchTermPage() { reset_run_state(); }
  void add(const std::string& term, int times) {
    for (int i = 0; i < times; ++i) g_terms.add_term(term);
  }
  ScriptedFrontEnd ui;
};

}  // namespace

TEST_F(SearchTermPage, FirstOfTheMostFrequentIsPreselected) {
  add("One", 1);
  add("Two", 3);
  add("Three", 3);
  ui.script = {press(kIdNext)};
  show_search_term_page();
  const DrawnPage& shown = ui.pages.front();
  EXPECT_EQ(shown.caption, "Select search term");
  EXPECT_EQ(shown.lines.at(kIdCandidateList), (std::vector<std::string>{"One", "Two", "Three"}));
  EXPECT_EQ(shown.selections.at(kIdCandidateList), 1);
  EXPECT_EQ(g_search_term, "Two");
  EXPECT_FALSE(g_cancelled);
}

TEST_F(SearchTermPage, NextTakesTheSelectedCandidateAndIgnoresTheField) {
  add("Some Artist", 1);
  add("Some Title", 1);
  ui.script = {set_text(kIdTermField, "typed"), select_line(kIdCandidateList, 1), press(kIdNext)};
  show_search_term_page();
  EXPECT_EQ(g_search_term, "Some Title");
  EXPECT_TRUE(ui.problems.empty());
}

TEST_F(SearchTermPage, ManualSearchTakesTheFieldCutTo255Characters) {
  add("Some Artist", 2);
  const std::string typed = "  Mixed Case  " + std::string(300, 'x');
  ui.script = {set_text(kIdTermField, typed), press(kIdManualSearch)};
  show_search_term_page();
  EXPECT_EQ(g_search_term, typed.substr(0, 255));
}

TEST_F(SearchTermPage, ManualSearchWithAnEmptyFieldGivesAnEmptyTerm) {
  add("Some Artist", 1);
  g_search_term = "left over";
  ui.script = {press(kIdManualSearch)};
  show_search_term_page();
  EXPECT_EQ(g_search_term, "");
  EXPECT_FALSE(g_cancelled);
}

TEST_F(SearchTermPage, NextWithoutCandidatesActsAsManualSearch) {
  ui.script = {set_text(kIdTermField, "Typed Term"), press(kIdNext)};
  show_search_term_page();
  EXPECT_EQ(ui.pages.front().selections.at(kIdCandidateList), -1);
  EXPECT_EQ(g_search_term, "Typed Term");
  EXPECT_FALSE(g_cancelled);
}

TEST_F(SearchTermPage, CancelAndCloseBoxEndTheRun) {
  add("Some Artist", 1);
  ui.script = {press(kIdCancelButton)};
  show_search_term_page();
  EXPECT_TRUE(g_cancelled);
  EXPECT_EQ(g_search_term, "");

  reset_run_state();
  add("Some Artist", 1);
  ui.script = {close_page()};
  show_search_term_page();
  EXPECT_TRUE(g_cancelled);
  EXPECT_FALSE(ui.ran_out);
}

TEST_F(SearchTermPage, MenuCommandsAndListClicksLeaveThePageOpen) {
  add("Some Artist", 1);
  g_run.directory = "/music/Some Artist";
  ui.script = {press(kCmdDirectory), double_click(kIdCandidateList, 0), press(kIdNext)};
  show_search_term_page();
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "/music/Some Artist");
  EXPECT_EQ(ui.boxes[0].caption, "Current Directory");
  EXPECT_TRUE(ui.boxes[0].owned);
  EXPECT_EQ(g_search_term, "Some Artist");
}
