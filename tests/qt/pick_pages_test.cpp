// The search-result and release pages (template 101) through the desktop
// front end.
#include <QListWidget>
#include <QScrollBar>
#include <QTest>

#include "resources/resource_ids.h"
#include "tests/qt/support/qt_page_test.h"

namespace qt_tests {
namespace {

using platform::PageDialog;

class PickPages : public QtPageTest {};

TEST_F(PickPages, NextWithoutALineWarnsOverThePageAndStays) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QWidget* box_parent = nullptr;
  PageDialog* shown_page = nullptr;
  QString caption;
  driver.on_page("Select search result term", [&](PageDialog& page) {
    shown_page = &page;
    click_button(page, kIdNext);
  });
  driver.on_box([&](QMessageBox& box) {
    icon = box.icon();
    box_parent = box.parentWidget();
    caption = box.windowTitle();
    QTest::keyClick(&box, Qt::Key_Return);
  });
  driver.on_page("Select search result term", [](PageDialog& page) {
    click_line(page, kIdResultList, 2);
    click_button(page, kIdNext);
  });
  show_sample_result_page();
  EXPECT_EQ(driver.box_texts,
            std::vector<std::string>({"Please select a search result from the list"}));
  EXPECT_EQ(icon, QMessageBox::Warning);
  EXPECT_EQ(caption, "Error!");
  EXPECT_EQ(box_parent, shown_page);
  EXPECT_EQ(run.chosen, 2);
}

TEST_F(PickPages, ASingleResultIsSelectedAlready) {
  run.results = {"The Quiet Ones (Artist)"};
  driver.on_page("Select search result term",
                 [](PageDialog& page) { press_key(list_of(page, kIdResultList), Qt::Key_Enter); });
  show_sample_result_page();
  EXPECT_EQ(run.chosen, 0);
}

TEST_F(PickPages, ArrowKeysMoveTheSelection) {
  driver.on_page("Select search result term", [](PageDialog& page) {
    click_line(page, kIdResultList, 0);
    press_key(list_of(page, kIdResultList), Qt::Key_Down);
    press_key(list_of(page, kIdResultList), Qt::Key_Down);
    press_key(list_of(page, kIdResultList), Qt::Key_Return);
  });
  show_sample_result_page();
  EXPECT_EQ(run.chosen, 2);
}

TEST_F(PickPages, ReleaseLinesWiderThanTheListScrollSideways) {
  run.results = {"Short[CD, North]",
                 "Live at the Long Pier Ballroom, Remastered Deluxe Edition[2xCD, Album, "
                 "Northern Records]"};
  int scroll_range = 0;
  bool scroll_bar_shown = false;
  driver.on_page("Select release", [&](PageDialog& page) {
    QListWidget* list = list_of(page, kIdResultList);
    scroll_range = list->horizontalScrollBar()->maximum();
    scroll_bar_shown = list->horizontalScrollBar()->isVisible();
    click_button(page, kIdCancelButton);
  });
  show_sample_release_page();
  EXPECT_GT(scroll_range, 0);
  EXPECT_TRUE(scroll_bar_shown);
  EXPECT_TRUE(run.cancelled);
}

TEST_F(PickPages, EscCancels) {
  driver.on_page("Select release", [](PageDialog& page) { press_key(&page, Qt::Key_Escape); });
  show_sample_release_page();
  EXPECT_TRUE(run.cancelled);
  EXPECT_EQ(run.chosen, -1);
}

}  // namespace
}  // namespace qt_tests
