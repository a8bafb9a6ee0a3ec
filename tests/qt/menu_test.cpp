// Menu 103 and the name configuration page (template 106) through the
// desktop front end.
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>

#include "resources/resource_ids.h"
#include "tests/qt/support/qt_page_test.h"

namespace qt_tests {
namespace {

using platform::PageDialog;

class Menu : public QtPageTest {};

QStringList menu_texts(PageDialog& page) {
  QStringList texts;
  for (QAction* menu : page.menu_bar()->actions()) {
    texts << menu->text();
    for (QAction* item : menu->menu()->actions()) texts << "  " + item->text();
  }
  return texts;
}

TEST_F(Menu, EveryWizardPageCarriesMenu103) {
  QStringList texts;
  driver.on_page("Select release", [&](PageDialog& page) {
    texts = menu_texts(page);
    page.close();
  });
  show_sample_release_page();
  EXPECT_EQ(texts, QStringList({"Help", "  Directory?", "  About", "  Online Help", "Settings",
                                "  Filenames", "  Toggel M3U", "  Save Settings",
                                "  Database Token..."}));
}

// The mark beside a menu item: "" for none, "on" or "off".
QString check_of(PageDialog& page, const QString& text) {
  for (QAction* menu : page.menu_bar()->actions()) {
    for (QAction* item : menu->menu()->actions()) {
      if (item->text() == text && item->isCheckable()) return item->isChecked() ? "on" : "off";
    }
  }
  return "";
}

TEST_F(Menu, CommandsReachThePageAndLeaveItOpen) {
  run.playlist = true;
  QStringList marks;
  driver.on_page("Select search result term", [&](PageDialog& page) {
    marks << check_of(page, "Toggel M3U");
    choose_menu_item(page, "Toggel M3U");
  });
  driver.answer_box(QMessageBox::Ok);
  driver.on_page("Select search result term", [&](PageDialog& page) {
    marks << check_of(page, "Toggel M3U");
    choose_menu_item(page, "Toggel M3U");
    marks << check_of(page, "Toggel M3U");
  });
  driver.answer_box(QMessageBox::Ok);
  driver.on_page("Select search result term",
                 [](PageDialog& page) { choose_menu_item(page, "Directory?"); });
  driver.answer_box(QMessageBox::Ok);
  driver.on_page("Select search result term", [](PageDialog& page) {
    choose_menu_item(page, "Online Help");
    choose_menu_item(page, "Save Settings");
    click_button(page, kIdCancelButton);
  });
  show_sample_result_page();
  EXPECT_EQ(driver.box_texts,
            std::vector<std::string>(
                {"M3U Playlist Generation off", "M3U Playlist Generation on", run.directory}));
  EXPECT_EQ(run.commands, std::vector<int>({kCmdToggleM3u, kCmdToggleM3u, kCmdDirectory,
                                            kCmdOnlineHelp, kCmdSaveSettings}));
  EXPECT_EQ(ui.opened, std::vector<std::string>({std::string(kHelpAddress) + "#refine"}));
  // No mark until the page gives one; then the switch's state.
  EXPECT_EQ(marks, QStringList({"", "off", "on"}));
  EXPECT_TRUE(run.cancelled);
}

TEST_F(Menu, FilenamesEditsTheTemplatesOverThePage) {
  QString shown_track_format;
  driver.on_page("Confirm track matches",
                 [](PageDialog& page) { choose_menu_item(page, "Filenames"); });
  driver.on_page("Output Name Configuration", [&](PageDialog& page) {
    shown_track_format = edit_of(page, kIdTrackFormat)->text();
    edit_of(page, kIdTrackFormat)->selectAll();
    QTest::keyClicks(edit_of(page, kIdTrackFormat), "/8. /6 - /7");
    click_button(page, kIdNamesHelp);
  });
  driver.answer_box(QMessageBox::Ok);
  driver.on_page("Output Name Configuration", [](PageDialog& page) {
    press_key(edit_of(page, kIdTrackFormat), Qt::Key_Return);
  });
  driver.on_page("Confirm track matches", [](PageDialog& page) { page.close(); });
  show_sample_match_page();
  EXPECT_EQ(shown_track_format, "/8 - /7");
  EXPECT_EQ(run.track_format, "/8. /6 - /7");
  ASSERT_EQ(driver.box_texts.size(), 1u);
  EXPECT_EQ(driver.box_texts[0].substr(0, 19), "/1 = Release Artist");
}

TEST_F(Menu, NameConfigurationCancelKeepsTheTemplates) {
  driver.on_page("Select search term",
                 [](PageDialog& page) { choose_menu_item(page, "Filenames"); });
  driver.on_page("Output Name Configuration", [](PageDialog& page) {
    edit_of(page, kIdDirectoryFormat)->selectAll();
    QTest::keyClicks(edit_of(page, kIdDirectoryFormat), "changed");
    press_key(&page, Qt::Key_Escape);
  });
  driver.on_page("Select search term", [](PageDialog& page) { page.close(); });
  show_sample_search_term_page();
  EXPECT_EQ(run.directory_format, "/1 - /2");
}

TEST_F(Menu, TypedTemplatesAreCutAt255Characters) {
  driver.on_page("Output Name Configuration", [](PageDialog& page) {
    edit_of(page, kIdPlaylistFormat)->selectAll();
    QTest::keyClicks(edit_of(page, kIdPlaylistFormat), QString(300, 'x'));
    click_button(page, kIdNext);
  });
  show_sample_names_page();
  EXPECT_EQ(run.playlist_format, std::string(255, 'x'));
}

}  // namespace
}  // namespace qt_tests
