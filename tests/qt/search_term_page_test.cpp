// The search-term page (template 104) through the desktop front end.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "resources/resource_ids.h"
#include "tests/qt/support/qt_page_test.h"

namespace qt_tests {
namespace {

using platform::PageDialog;

class SearchTermPage : public QtPageTest {};

TEST_F(SearchTermPage, ShowsTheCandidatesWithTheCommonestSelected) {
  run.candidates = {"Harbour Lights", "The Quiet Ones", "Quiet Ones"};
  run.counts = {1, 3, 3};
  QStringList lines;
  int selected = -2;
  QString title;
  driver.on_page("Select search term", [&](PageDialog& page) {
    lines = shown_lines(page, kIdCandidateList);
    selected = shown_selection(page, kIdCandidateList);
    title = page.windowTitle();
    press_key(&page, Qt::Key_Escape);
  });
  show_sample_search_term_page();
  EXPECT_EQ(lines, QStringList({"Harbour Lights", "The Quiet Ones", "Quiet Ones"}));
  EXPECT_EQ(selected, 1);
  EXPECT_EQ(title, "Select search term");
  EXPECT_TRUE(run.cancelled);
}

TEST_F(SearchTermPage, EnterTakesTheClickedCandidate) {
  driver.on_page("Select search term", [](PageDialog& page) {
    click_line(page, kIdCandidateList, 2);
    press_key(list_of(page, kIdCandidateList), Qt::Key_Return);
  });
  show_sample_search_term_page();
  EXPECT_EQ(run.term, run.candidates[2]);
  EXPECT_FALSE(run.cancelled);
}

TEST_F(SearchTermPage, ManualSearchTakesTheTypedTextInTheCodePage) {
  driver.on_page("Select search term", [](PageDialog& page) {
    click_line(page, kIdCandidateList, 1);  // ignored by Manual Search
    type_into(page, kIdTermField, QString::fromUtf8("Bj\u00f6rk \u2013 Post \u65e5\u672c"));
    click_button(page, kIdManualSearch);
  });
  show_sample_search_term_page();
  // U+2013 is 0x96 in Windows-1252; the code page has no Japanese.
  EXPECT_EQ(run.term, "Bj\xF6rk \x96 Post ??");
}

TEST_F(SearchTermPage, TypedTextStaysAsTyped) {
  QString shown;
  driver.on_page("Select search term", [&](PageDialog& page) {
    type_into(page, kIdTermField, QString::fromUtf8("\u65e5\u672c"));
    shown = edit_of(page, kIdTermField)->text();
    click_button(page, kIdCancelButton);
  });
  show_sample_search_term_page();
  EXPECT_EQ(shown, QString::fromUtf8("\u65e5\u672c"));
  EXPECT_TRUE(run.cancelled);
}

TEST_F(SearchTermPage, TheCloseBoxCancels) {
  driver.on_page("Select search term", [](PageDialog& page) { page.close(); });
  show_sample_search_term_page();
  EXPECT_TRUE(run.cancelled);
  EXPECT_EQ(run.term, "");
}

TEST_F(SearchTermPage, NextIsTheDefaultButton) {
  bool next_is_default = false, cancel_is_default = true;
  driver.on_page("Select search term", [&](PageDialog& page) {
    next_is_default = button_of(page, kIdNext)->isDefault();
    cancel_is_default = button_of(page, kIdCancelButton)->isDefault();
    press_key(edit_of(page, kIdTermField), Qt::Key_Enter);
  });
  show_sample_search_term_page();
  EXPECT_TRUE(next_is_default);
  EXPECT_FALSE(cancel_is_default);
  EXPECT_EQ(run.term, run.candidates[0]);  // Enter in the field presses Next >>
}

}  // namespace
}  // namespace qt_tests
