// The desktop front end itself: windows laid out from templates, widgets
// drawn again from the page after each message, input turned into
// messages, and message boxes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>

#include "platform/qt/qt_front_end.h"
#include "resources/dialog_templates.h"
#include "tests/qt/support/page_driver.h"

namespace qt_tests {
namespace {

using platform::PageDialog;
using platform::Window;

constexpr int kList = 10;
constexpr int kEdit = 11;
constexpr int kLabel = 12;
constexpr int kChange = 13;

const platform::DialogTemplate kProbePage = {
    900,
    "Template caption",
    160,
    100,
    "MS Sans Serif",
    8,
    platform::kFrameCaption | platform::kFrameSystemMenu,
    0,
    {{platform::kIdOk, platform::ControlKind::kDefPushButton, "OK", 110, 4, 40, 14,
      platform::kStyleTabStop},
     {kChange, platform::ControlKind::kPushButton, "Change", 110, 22, 40, 14,
      platform::kStyleTabStop},
     {kList, platform::ControlKind::kListBox, "", 4, 4, 100, 60,
      platform::kStyleBorder | platform::kStyleVScroll | platform::kStyleHScroll |
          platform::kStyleNotify},
     {kEdit, platform::ControlKind::kEdit, "", 4, 70, 100, 12, platform::kStyleBorder},
     {kLabel, platform::ControlKind::kStaticText, "Label", 4, 86, 100, 8, platform::kStyleLeft}}};

// What the probe page's procedure got and does.
struct Probe {
  std::vector<uintptr_t> commands;
  std::vector<unsigned> messages;
  int extent = 0;
  std::vector<std::string> lines = {"Mot\xF6rhead", "Caf\xE9 \x80"};
};
Probe* g_probe = nullptr;

bool probe_proc(Window& page, unsigned message, uintptr_t wparam, intptr_t) {
  g_probe->messages.push_back(message);
  if (message == platform::kWmInitDialog) {
    page.set_text("Caf\xE9 \x80");
    for (const std::string& line : g_probe->lines) page.add_line(kList, line);
    page.set_horizontal_extent(kList, g_probe->extent);
    return true;
  }
  if (message == platform::kWmClose) {
    page.end(7);
    return true;
  }
  if (message != platform::kWmCommand) return false;
  g_probe->commands.push_back(wparam);
  const int id = platform::low_word(wparam);
  if (id == kChange) {
    page.set_text("Changed");
    page.add_line(kList, "Third");
    page.set_selection(kList, 2);
    page.set_item_text(kEdit, "Set by the page");
    page.set_item_text(kLabel, "New label");
    page.move_control(kLabel, {1, 2, 30, 40});
  } else if (id == platform::kIdOk || id == platform::kIdCancel) {
    page.end(id);
  }
  return true;
}

// The desktop front end installed, its browser calls recorded instead of
// made, and a driver whose steps must all be taken by the end of the test.
class QuietQtFrontEnd : public platform::QtFrontEnd {
 public:
  bool open_url(const std::string& url) override {
    opened.push_back(url);
    return true;
  }
  std::vector<std::string> opened;
};

class QtFrontEndTest : public ::testing::Test {
 protected:
  QtFrontEndTest() {
    platform::set_front_end(&ui);
    g_probe = &probe;
  }
  ~QtFrontEndTest() override {
    g_probe = nullptr;
    platform::set_front_end(nullptr);
  }
  void TearDown() override {
    for (const std::string& problem : driver.problems) ADD_FAILURE() << problem;
    EXPECT_TRUE(driver.done()) << "steps left untaken";
    EXPECT_FALSE(driver.ran_out) << "a window was left open";
  }
  QuietQtFrontEnd ui;
  PageDriver driver;
  int run_probe() { return platform::run_dialog(kProbePage, nullptr, nullptr, probe_proc, 0); }
  Probe probe;
};

// The caption and lines are held in the code page; the change is drawn
// after the message that made it.
TEST_F(QtFrontEndTest, WidgetsShowTheCodePageAndFollowThePageAfterEachMessage) {
  driver.on_page("Caf\xE9 \x80", [&](PageDialog& page) {
    EXPECT_EQ(page.windowTitle(), QString::fromUtf8("Caf\u00e9 \u20ac"));
    EXPECT_EQ(shown_lines(page, kList), QStringList({QString::fromUtf8("Mot\u00f6rhead"),
                                                     QString::fromUtf8("Caf\u00e9 \u20ac")}));
    QTest::mouseClick(button_of(page, kChange), Qt::LeftButton);
    EXPECT_EQ(page.windowTitle(), "Changed");
    EXPECT_EQ(shown_lines(page, kList).size(), 3);
    EXPECT_EQ(shown_selection(page, kList), 2);
    EXPECT_EQ(edit_of(page, kEdit)->text(), "Set by the page");
    EXPECT_EQ(qobject_cast<QLabel*>(page.control_widget(kLabel))->text(), "New label");
    page.close();
  });
  EXPECT_EQ(run_probe(), 7);
}

TEST_F(QtFrontEndTest, ListNotificationsAndTypingBecomeCommands) {
  driver.on_page("Caf\xE9 \x80", [](PageDialog& page) {
    click_line(page, kList, 1);
    click_line(page, kList, 1, true);
    edit_of(page, kEdit)->setFocus();
    QTest::sendKeyEvent(QTest::Click, edit_of(page, kEdit), Qt::Key_unknown, "a", Qt::NoModifier);
    page.close();
  });
  run_probe();
  using platform::command_value;
  const std::vector<uintptr_t> expected = {command_value(kList, platform::kListSelectionChange),
                                           command_value(kList, platform::kListDoubleClick),
                                           command_value(kEdit, platform::kEditChange)};
  EXPECT_EQ(probe.commands, expected);
}

TEST_F(QtFrontEndTest, EscSendsCancelAndTheCloseBoxSendsClose) {
  driver.on_page("Caf\xE9 \x80", [](PageDialog& page) { QTest::keyClick(&page, Qt::Key_Escape); });
  EXPECT_EQ(run_probe(), platform::kIdCancel);
  EXPECT_EQ(probe.commands,
            std::vector<uintptr_t>({platform::command_value(platform::kIdCancel, 0)}));

  probe.commands.clear();
  driver.on_page("Caf\xE9 \x80", [](PageDialog& page) { page.close(); });
  EXPECT_EQ(run_probe(), 7);
  EXPECT_TRUE(probe.commands.empty());
  EXPECT_EQ(probe.messages.back(), platform::kWmClose);
}

// A stoppable wait's box sits over the page, which stays in sight, and
// its Cancel stops the wait; another wait has no Cancel.
TEST_F(QtFrontEndTest, AStoppableWaitOffersCancelOverThePage) {
  driver.on_page("Caf\xE9 \x80", [&](PageDialog& page) {
    ui.show_wait("Finish!", 1, false);
    const auto* plain = page.findChild<QProgressDialog*>();
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->findChild<QPushButton*>(), nullptr);
    ui.end_wait();
    ui.show_wait("Waiting for www.discogs.com", 1, true);
    const QProgressDialog* box = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (auto* found = qobject_cast<QProgressDialog*>(top)) box = found;
    }
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(page.isVisible());
    EXPECT_FALSE(page.isEnabled());  // only the box takes input
    QPushButton* cancel = box->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), QString("Cancel"));
    EXPECT_FALSE(ui.wait_stopped());
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_TRUE(ui.wait_stopped());
    ui.end_wait();
    EXPECT_TRUE(page.isEnabled());
    page.close();
  });
  run_probe();
}

// Keys first: the list has the focus when the page opens (the first field
// where there is no list), the menus open with Alt and their title's
// letter, and a button's letter presses it.
TEST_F(QtFrontEndTest, TheListHasTheFocusAndAltKeysOpenMenusAndPressButtons) {
  QString focused, popup, back;
  driver.on_page("Caf\xE9 \x80", [&](PageDialog& page) {
    focused = page.focusWidget()->objectName();
    // The keys go to the window in front, as a person's do.
    page.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&page));
    QTest::keyClick(page.focusWidget(), Qt::Key_S, Qt::AltModifier);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    popup = menu != nullptr ? menu->title() : "(no menu open)";
    // Esc closes the menu, and Esc again leaves the menu bar for the list.
    if (menu != nullptr) QTest::keyClick(menu, Qt::Key_Escape);
    QTest::keyClick(page.focusWidget(), Qt::Key_Escape);
    back = page.focusWidget()->objectName();
    QTest::keyClick(page.focusWidget(), Qt::Key_O, Qt::AltModifier);
    QTest::qWait(300);  // a button pressed by its key shows itself pressed a moment
  });
  EXPECT_EQ(
      platform::run_dialog(kProbePage, resources::find_menu(kMenuWizard), nullptr, probe_proc, 0),
      platform::kIdOk);
  EXPECT_EQ(focused, QString("control_%1").arg(kList));
  EXPECT_EQ(popup, "&Settings");
  EXPECT_EQ(back, focused);

  driver.on_page("Caf\xE9 \x80", [&](PageDialog& page) {
    focused = page.focusWidget()->objectName();
    page.close();
  });
  platform::run_dialog(*resources::find_dialog(kDialogNameConfiguration), nullptr, nullptr,
                       probe_proc, 0);
  EXPECT_EQ(focused, QString("control_%1").arg(kIdDirectoryFormat));
}

// Message boxes.

// Icon, buttons, title, text and its format (0 plain): markup is shown as
// text. Questions answer Yes or No, Esc being No.
TEST_F(QtFrontEndTest, BoxesShowTheirIconButtonsAndTextAndAnswer) {
  driver.on_box([&](QMessageBox& box) {
    EXPECT_EQ(box.icon(), QMessageBox::Warning);
    EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(box.windowTitle(), "Error!");
    EXPECT_EQ(box.text(), QString::fromUtf8("Caf\u00e9 <b>x</b>"));
    EXPECT_EQ(box.textFormat(), Qt::PlainText);
    box.close();
  });
  driver.on_box([&](QMessageBox& box) {
    EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(box.windowTitle(), "Plinth");
    EXPECT_EQ(box.text(), "<i>Done!</i>");
    EXPECT_EQ(box.textFormat(), Qt::PlainText);
    QTest::keyClick(&box, Qt::Key_Return);
  });
  for (const auto button : {QMessageBox::Yes, QMessageBox::No}) {
    driver.on_box(
        [button](QMessageBox& box) { QTest::mouseClick(box.button(button), Qt::LeftButton); });
  }
  driver.on_box([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
  using platform::message_box;
  EXPECT_EQ(message_box(nullptr, "Caf\xE9 <b>x</b>", "Error!", platform::kBoxIconWarning),
            platform::kAnswerOk);
  EXPECT_EQ(message_box(nullptr, "<i>Done!</i>", "Plinth", platform::kBoxOk), platform::kAnswerOk);
  EXPECT_EQ(message_box(nullptr, "Go?", "Q", platform::kBoxYesNo), platform::kAnswerYes);
  EXPECT_EQ(message_box(nullptr, "Go?", "Q", platform::kBoxYesNo), platform::kAnswerNo);
  EXPECT_EQ(message_box(nullptr, "Go?", "Q", platform::kBoxYesNo), platform::kAnswerNo);
}

}  // namespace
}  // namespace qt_tests
