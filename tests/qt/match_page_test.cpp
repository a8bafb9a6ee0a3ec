// The resizable match page (template 102) through the desktop front end.
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

#include "resources/resource_ids.h"
#include "tests/qt/support/qt_page_test.h"

namespace qt_tests {
namespace {

using platform::PageDialog;

class MatchPage : public QtPageTest {};

struct Columns {
  QSize client;
  QRect release, original, matches;
};

Columns columns_of(PageDialog& page) {
  return {page.client_area()->size(), list_of(page, kIdReleaseList)->geometry(),
          list_of(page, kIdOriginalList)->geometry(), list_of(page, kIdMatchesList)->geometry()};
}

TEST_F(MatchPage, OpensAtTheTemplateSizeLaidOutByThePage) {
  Columns at_open;
  platform::Rect template_size;
  driver.on_page("Confirm track matches", [&](PageDialog& page) {
    at_open = columns_of(page);
    template_size = page.page().to_pixels(0, 0, 308, 146);
    click_button(page, kIdCancelButton);
  });
  show_sample_match_page();
  EXPECT_EQ(at_open.client, QSize(template_size.width, template_size.height));
  const int w = template_size.width, h = template_size.height;
  EXPECT_EQ(at_open.release, QRect(5, 65, (w - 60) / 3, h - 75));
  EXPECT_EQ(at_open.original, QRect(w / 3, 65, (w - 60) / 3, h - 75));
  EXPECT_EQ(at_open.matches, QRect(2 * (w / 3), 65, (w - 60) / 3, h - 75));
}

TEST_F(MatchPage, ShrinkingStopsAtTheMinimumWithThreeEqualColumns) {
  Columns smallest;
  driver.on_page("Confirm track matches", [&](PageDialog& page) {
    page.resize(10, 10);
    smallest = columns_of(page);
    page.close();
  });
  show_sample_match_page();
  EXPECT_EQ(smallest.client, QSize(kMatchMinWidth, kMatchMinHeight));
  ASSERT_FALSE(run.sizes.empty());
  EXPECT_EQ(run.sizes.back().width, kMatchMinWidth);
  EXPECT_EQ(run.sizes.back().height, kMatchMinHeight);
  EXPECT_EQ(smallest.release.width(), (kMatchMinWidth - 60) / 3);
  EXPECT_EQ(smallest.original.width(), smallest.release.width());
  EXPECT_EQ(smallest.matches.width(), smallest.release.width());
  EXPECT_EQ(smallest.original.left(), kMatchMinWidth / 3);
  EXPECT_EQ(smallest.matches.left(), 2 * (kMatchMinWidth / 3));
  EXPECT_EQ(smallest.matches.bottom(), kMatchMinHeight - 11);  // h - 75 tall from 65
}

TEST_F(MatchPage, EveryResizeLaysThePageOutAgain) {
  Columns wide;
  QRect finish;
  driver.on_page("Confirm track matches", [&](PageDialog& page) {
    page.resize(page.width() + 300, page.height() + 200);
    wide = columns_of(page);
    finish = button_of(page, kIdNext)->geometry();
    page.close();
  });
  show_sample_match_page();
  const int w = wide.client.width(), h = wide.client.height();
  EXPECT_EQ(run.sizes.back().width, w);
  EXPECT_EQ(run.sizes.back().height, h);
  EXPECT_EQ(wide.matches, QRect(2 * (w / 3), 65, (w - 60) / 3, h - 75));
  EXPECT_EQ(finish, QRect(2 * (w / 3), 5, 70, 20));
}

TEST_F(MatchPage, FilesAndMatchesScrollTogetherRowByRow) {
  int scrollable = 0;
  QListWidgetItem* file = nullptr;
  QListWidgetItem* match = nullptr;
  driver.on_page("Confirm track matches", [&](PageDialog& page) {
    page.resize(page.width(), kMatchMinHeight);
    QListWidget* files = list_of(page, kIdOriginalList);
    QListWidget* matches = list_of(page, kIdMatchesList);
    scrollable = files->verticalScrollBar()->maximum();
    files->verticalScrollBar()->setValue(scrollable);
    file = files->itemAt(2, 2);
    match = matches->itemAt(2, 2);
    page.close();
    ASSERT_TRUE(file != nullptr && match != nullptr);
    EXPECT_EQ(files->row(file), matches->row(match));
  });
  show_sample_match_page();
  EXPECT_GT(scrollable, 0);
}

TEST_F(MatchPage, ForceMatchGivesTheFileTheChosenTrackAndClearsBothSelections) {
  QString matched;
  int original_selected = -2, release_selected = -2;
  driver.on_page("Confirm track matches", [&](PageDialog& page) {
    click_line(page, kIdOriginalList, 2);
    click_line(page, kIdReleaseList, 5);
    click_button(page, kIdForceMatch);
    matched = shown_lines(page, kIdMatchesList).at(2);
    original_selected = shown_selection(page, kIdOriginalList);
    release_selected = shown_selection(page, kIdReleaseList);
    click_button(page, kIdCancelButton);
  });
  show_sample_match_page();
  EXPECT_EQ(run.track_of_file[2], 5);
  EXPECT_EQ(matched.toStdString(), run.tracks[5]);
  EXPECT_EQ(original_selected, -1);
  EXPECT_EQ(release_selected, -1);
  EXPECT_FALSE(run.finished);
}

TEST_F(MatchPage, ForceMatchWithoutBothLinesWarns) {
  driver.on_page("Confirm track matches",
                 [](PageDialog& page) { click_button(page, kIdForceMatch); });
  driver.answer_box(QMessageBox::Ok);
  driver.on_page("Confirm track matches", [](PageDialog& page) {
    click_line(page, kIdOriginalList, 0);
    click_button(page, kIdForceMatch);
  });
  driver.answer_box(QMessageBox::Ok);
  driver.on_page("Confirm track matches", [](PageDialog& page) { page.close(); });
  show_sample_match_page();
  EXPECT_EQ(driver.box_texts,
            std::vector<std::string>(
                {"Please select an original track filename to rename",
                 "Please assign a matching track filename from the release database"}));
  EXPECT_EQ(run.track_of_file, sample_album().track_of_file);
}

TEST_F(MatchPage, TheMatchesListCannotBeSelected) {
  int shown = -2, held = -2;
  driver.on_page("Confirm track matches", [&](PageDialog& page) {
    click_line(page, kIdMatchesList, 1);
    shown = shown_selection(page, kIdMatchesList);
    held = page.page().selection(kIdMatchesList);
    page.close();
  });
  show_sample_match_page();
  EXPECT_EQ(shown, -1);
  EXPECT_EQ(held, -1);
}

TEST_F(MatchPage, FinishSaysDoneAndCloses) {
  driver.on_page("Confirm track matches", [](PageDialog& page) { click_button(page, kIdNext); });
  driver.answer_box(QMessageBox::Ok);
  show_sample_match_page();
  EXPECT_TRUE(run.finished);
  EXPECT_EQ(driver.box_texts, std::vector<std::string>({"Done!"}));
}

}  // namespace
}  // namespace qt_tests
