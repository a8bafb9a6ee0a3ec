// The whole program on the desktop front end: the run driver and the real
// pages over the demo album, against the stand-in web database, driven the
// way a person does it: look at each window, take its default button.
#include "tests/support/whole_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <filesystem>
#include <map>

#include "app/driver.h"
#include "model/run_state.h"
#include "platform/codepage.h"
#include "platform/dialogs/front_end.h"
#include "platform/files/installed_files.h"
#include "platform/qt/qt_front_end.h"
#include "resources/dialog_templates.h"
#include "tests/qt/support/page_driver.h"
#include "tests/support/current_folder.h"
#include "tests/support/mp3_files.h"
#include "tests/support/run_state_reset.h"

namespace qt_tests {
namespace {

using test_support::names_in;

namespace fs = std::filesystem;
using platform::PageDialog;
using test_support::read_file;
using ::testing::ElementsAre;

// Enter, given to the widget that has the keyboard focus, as a person's
// key press is: the page's default button answers it.
void press_enter(QWidget& window) {
  QWidget* focused = window.focusWidget();
  QTest::keyClick(focused != nullptr ? focused : &window, Qt::Key_Return);
}

QString context_line(PageDialog& page) {
  return qobject_cast<QLabel*>(page.control_widget(kIdContextLine))->text();
}

QAction* menu_item(PageDialog& page, const QString& text) {
  for (QAction* menu : page.menu_bar()->actions()) {
    for (QAction* item : menu->menu()->actions()) {
      if (QString(item->text()).remove('&') == text) return item;
    }
  }
  return nullptr;
}

// A stand-in for the desktop's opener: it notes the address and ends with
// the status its file holds.
class FakeOpener : public test_support::TempDir {
 public:
  FakeOpener() {
    test_support::write_file(file("xdg-open"), "#!/bin/sh\necho \"$1\" >>'" + file("opened") +
                                                   "'\nexit $(cat '" + file("status") + "')\n");
    fs::permissions(file("xdg-open"), fs::perms::owner_all);
  }
};

class QtWholeRun : public ::testing::Test {
 protected:
  QtWholeRun()
      : proxy_("http_proxy", server.proxy_url().c_str()),
        path_("PATH", (opener.path() + ":" + std::getenv("PATH")).c_str()) {
    test_support::reset_run_state();
    config.write_settings_file(test_support::kDefaultSettings);
    platform::set_front_end(&ui);
  }
  ~QtWholeRun() override {
    platform::set_front_end(nullptr);
    test_support::reset_run_state();
  }

  int run(const std::string& folder) {
    return run_plinth({"plinth " + folder, platform::name_from_fs(folder)});
  }

  void TearDown() override {
    for (const std::string& problem : driver.problems) ADD_FAILURE() << problem;
    EXPECT_TRUE(driver.done()) << "steps left untaken";
    EXPECT_FALSE(driver.ran_out) << "a window was left open";
  }

  test_support::KeepCurrentFolder keep;
  test_support::IsolatedConfig config;
  test_support::StandinServer server;
  test_support::ScopedEnv proxy_;
  FakeOpener opener;
  test_support::ScopedEnv path_;
  test_support::TempDir work;
  platform::QtFrontEnd ui;
  PageDriver driver;
};

TEST_F(QtWholeRun, TheDefaultButtonOnEveryWindowTagsTheDemoAlbum) {
  const std::string album = test_support::make_demo_album(work.path());
  // Each page is looked at as a person would before taking its default
  // button: its title, the preselected line, the default button.
  std::vector<std::string> titles;
  const struct {
    const char* title;
    int list;
    const char* first_line;
  } picks[] = {{"Select search term", kIdCandidateList, "Harbour Lights"},
               {"Select search result term", kIdResultList, "Harbour Lights (Artist)"},
               {"Select release", kIdResultList, "Night Ferry[CD, Album, Tidewater Records]"}};
  for (const auto& pick : picks) {
    driver.on_page(pick.title, [&titles, pick](PageDialog& page) {
      QPushButton* next = button_of(page, kIdNext);
      SCOPED_TRACE(pick.title);
      titles.push_back(page.windowTitle().toStdString());
      EXPECT_EQ(titles.back(), pick.title);
      EXPECT_TRUE(page.isVisible());
      EXPECT_EQ(shown_lines(page, pick.list).value(0).toStdString(), pick.first_line);
      EXPECT_EQ(shown_selection(page, pick.list), 0);
      EXPECT_TRUE(next->isDefault());
      EXPECT_EQ(next->text().toStdString(), "&Next >>");
      // Arrow keys work at once: the list has the focus.
      EXPECT_EQ(page.focusWidget(), list_of(page, pick.list));
      press_enter(page);
    });
  }
  driver.on_page("Confirm track matches", [&](PageDialog& page) {
    titles.push_back(page.windowTitle().toStdString());
    EXPECT_EQ(context_line(page),
              QString::fromUtf8("Release: Harbour Lights \u2013 Night Ferry [HL 007]"));
    // Online Help hands the help page beside the program to the desktop's
    // opener; when the opener fails, a box names the file (answered below).
    for (const char* verdict : {"0", "3"}) {
      test_support::write_file(opener.file("status"), verdict);
      menu_item(page, "Online Help")->trigger();
    }
    const QStringList tracks = shown_lines(page, kIdReleaseList);
    list_of(page, kIdOriginalList)->verticalScrollBar()->setValue(3);
    QAction* playlist = menu_item(page, "Toggel M3U");
    QPushButton* finish = button_of(page, kIdNext);
    EXPECT_EQ(finish->text(), "F&inish!");
    EXPECT_TRUE(finish->isDefault());
    // Every file matched to its own track; the files and their matches
    // scroll together, so rows stay side by side; the Settings menu shows
    // the playlist switch as a check mark.
    EXPECT_EQ(tracks.size(), 12);
    EXPECT_EQ(shown_lines(page, kIdOriginalList).size(), 12);
    EXPECT_TRUE(shown_lines(page, kIdMatchesList) == tracks);
    EXPECT_EQ(tracks.value(2).toStdString(), "03 Lanterns Over Water");
    EXPECT_EQ(list_of(page, kIdMatchesList)->verticalScrollBar()->value(),
              list_of(page, kIdOriginalList)->verticalScrollBar()->value());
    EXPECT_TRUE(playlist->isCheckable());
    EXPECT_TRUE(playlist->isChecked());
    press_enter(page);
  });
  for (int box = 0; box < 2; ++box) {
    driver.on_box([&](QMessageBox& box) {
      titles.push_back(box.windowTitle().toStdString());
      QTest::keyClick(&box, Qt::Key_Return);
    });
  }

  EXPECT_EQ(run(album), 0);
  EXPECT_EQ(titles, (std::vector<std::string>{"Select search term", "Select search result term",
                                              "Select release", "Confirm track matches",
                                              "Online Help", "Done."}));
  const std::string help = platform::program_folder() + "/plinthhelp.html";
  EXPECT_EQ(read_file(opener.file("opened")),
            "file://" + help + "#trackmatch\nfile://" + help + "#trackmatch\n");
  const std::string tagged = work.file(test_support::kTaggedDemoFolder);
  EXPECT_THAT(driver.box_texts,
              ElementsAre("No program could open the help page. It is the file\n" + help,
                          "Done!\nThe folder is now " + tagged +
                              "\nTo take this run back: plinth --undo '" + tagged + "'"));

  // What the run left is the terminal runs' to check: the front end only
  // has to have reached the end.
  EXPECT_TRUE(fs::is_directory(tagged));
  EXPECT_FALSE(fs::exists(album));
  EXPECT_EQ(read_file(tagged + "/R-100101.jpg"),
            read_file(std::string(PLINTH_SOURCE_DIR) + "/tools/catalogue/covers/R-100101.jpg"));
}

TEST_F(QtWholeRun, KeysAloneReachEveryControlAndSearchTheTypedTerm) {
  const std::string album = test_support::make_demo_album(work.path());
  driver.on_page("Select search term", [](PageDialog& page) {
    QWidget* next = button_of(page, kIdNext);
    next->setFocus();
    // Down on a button keeps the focus where it is: Down, Enter never cancels.
    QTest::keyClick(page.focusWidget(), Qt::Key_Down);
    EXPECT_EQ(page.focusWidget(), next);
    // Tab visits every control in the template's order, the text field too.
    const QWidget* order[] = {button_of(page, platform::kIdCancel), list_of(page, kIdCandidateList),
                              edit_of(page, kIdTermField), button_of(page, kIdManualSearch), next};
    for (const QWidget* expected : order) {
      QTest::keyClick(page.focusWidget(), Qt::Key_Tab);
      EXPECT_EQ(page.focusWidget(), expected);
    }
    for (int i = 0; i < 3; ++i) QTest::keyClick(page.focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(page.focusWidget(), "harbour lights");
    QTest::keyClick(page.focusWidget(), Qt::Key_Tab);
    QTest::keyClick(page.focusWidget(), Qt::Key_Space);  // Manual Search
  });
  driver.on_page("Select search result term", [](PageDialog& page) { page.close(); });

  EXPECT_EQ(run(album), 1);  // closed
  EXPECT_TRUE(server.requested("http://www.discogs.com/search?type=all&q=harbour+lights"));
}

TEST_F(QtWholeRun, ClosingTheReleaseWindowLeavesTheAlbumAsItWas) {
  const std::string album = test_support::make_demo_album(work.path());
  std::map<std::string, std::string> before;
  for (const std::string& name : names_in(album)) before[name] = read_file(album + "/" + name);

  driver.on_page("Select search term", [](PageDialog& page) { press_enter(page); });
  driver.on_page("Select search result term", [](PageDialog& page) { press_enter(page); });
  driver.on_page("Select release", [](PageDialog& page) { page.close(); });

  EXPECT_EQ(run(album), 1);  // closed
  EXPECT_TRUE(g_cancelled);
  EXPECT_EQ(names_in(work.path()),
            std::vector<std::string>{std::filesystem::path(album).filename().string()});
  for (const auto& [name, bytes] : before) EXPECT_EQ(read_file(album + "/" + name), bytes) << name;
  EXPECT_FALSE(server.requested("http://www.discogs.com/release/100101"));
}

}  // namespace
}  // namespace qt_tests
