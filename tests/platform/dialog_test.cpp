#include "platform/dialogs/dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/recording_front_end.h"

using namespace platform;

namespace {

const DialogTemplate kPage = {
    7,
    "Template caption",
    100,
    80,
    "MS Sans Serif",
    8,
    kFrameCaption | kFrameSizingBorder,
    0,
    {{kIdOk, ControlKind::kDefPushButton, "OK", 60, 4, 30, 14, kStyleTabStop},
     {10, ControlKind::kListBox, "", 4, 4, 50, 40, kStyleNotify},
     {11, ControlKind::kListBox, "", 4, 48, 50, 20, kStyleNotify | kStyleNoSelection},
     {12, ControlKind::kEdit, "", 4, 70, 50, 10, kStyleAutoHScroll},
     {kNoControlId, ControlKind::kStaticText, "Label", 60, 20, 30, 8, kStyleLeft}}};

// Remembers every message the page's procedure got.
struct Log {
  std::vector<unsigned> messages;
  std::vector<uintptr_t> commands;
  bool handle_close = true;
  Size last_size;
};
Log* g_log = nullptr;

bool logging_proc(Window& page, unsigned message, uintptr_t wparam, intptr_t lparam) {
  g_log->messages.push_back(message);
  switch (message) {
    case kWmCommand:
      g_log->commands.push_back(wparam);
      if (low_word(wparam) == kIdOk || low_word(wparam) == kIdCancel) page.end(low_word(wparam));
      return true;
    case kWmClose:
      if (!g_log->handle_close) return false;
      page.end(99);
      return true;
    case kWmGetMinMaxInfo:
      reinterpret_cast<MinMaxInfo*>(lparam)->min_track_width = 120;
      reinterpret_cast<MinMaxInfo*>(lparam)->min_track_height = 90;
      return true;
    case kWmSize:
      g_log->last_size = {low_word(static_cast<uintptr_t>(lparam)),
                          high_word(static_cast<uintptr_t>(lparam))};
      return true;
  }
  return false;
}

class DialogTest : public ::testing::Test {
 protected:
  DialogTest() : page(kPage, nullptr, nullptr, logging_proc, BaseUnits{8, 16}) { g_log = &log; }
  Log log;
  Window page;
};

}  // namespace

// The calls' results in the order made: out of range clears the selection,
// as -1 does; ids that are not list boxes are refused.
TEST_F(DialogTest, SelectionFollowsTheListBoxRules) {
  EXPECT_EQ(page.add_line(10, "a"), 0);
  EXPECT_EQ(page.add_line(10, "b"), 1);
  EXPECT_EQ(page.set_selection(10, 1), 1);
  EXPECT_EQ(page.selection(10), 1);
  EXPECT_EQ(page.set_selection(10, 2), -1);
  EXPECT_EQ(page.selection(10), -1);
  EXPECT_EQ(page.set_selection(10, 0), 0);
  EXPECT_EQ(page.set_selection(10, -1), -1);
  EXPECT_EQ(page.selection(10), -1);
  EXPECT_EQ(page.set_selection(10, 1), 1);
  page.reset_content(10);
  EXPECT_EQ(page.control(10)->lines.size(), 0u);
  EXPECT_EQ(page.selection(10), -1);
  EXPECT_EQ(page.add_line(12, "x"), -1);
  EXPECT_EQ(page.add_line(555, "x"), -1);
  EXPECT_EQ(page.selection(555), -1);
}

// A list without selection refuses the program and the user alike; the
// user's selections and double clicks notify the page.
TEST_F(DialogTest, UserSelectionNotifiesThePage) {
  page.add_line(11, "only");
  page.add_line(10, "a");
  page.add_line(10, "b");
  EXPECT_EQ(page.set_selection(11, 0), -1);
  EXPECT_FALSE(page.user_select(11, 0));
  EXPECT_EQ(page.selection(11), -1);
  EXPECT_FALSE(page.user_select(10, 2));
  EXPECT_TRUE(page.user_select(10, 1));
  EXPECT_TRUE(page.user_double_click(10, 0));
  EXPECT_FALSE(page.ended());
  EXPECT_EQ(log.commands, (std::vector<uintptr_t>{command_value(10, kListSelectionChange),
                                                  command_value(10, kListSelectionChange),
                                                  command_value(10, kListDoubleClick)}));
}

// Text is cut to the caller's buffer; unknown ids give none; only edits
// take the user's text.
TEST_F(DialogTest, EditTextIsCutToTheCallersBuffer) {
  char buffer[256];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_TRUE(page.user_set_text(12, std::string(300, 'x')));
  EXPECT_EQ(page.get_item_text(12, buffer, sizeof buffer), 255);
  EXPECT_EQ(std::string(buffer), std::string(255, 'x'));
  page.set_item_text(12, "short");
  EXPECT_EQ(page.get_item_text(12, buffer, sizeof buffer), 5);
  EXPECT_STREQ(buffer, "short");
  EXPECT_EQ(page.get_item_text(999, buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "");
  EXPECT_FALSE(page.user_set_text(10, "not an edit"));
}

// A call on an id the page lacks, or on a control of another kind, is
// refused and changes nothing.
TEST_F(DialogTest, CallsOnAMissingOrWrongControlChangeNothing) {
  page.add_line(10, "a");
  page.set_selection(10, 0);
  for (const int id : {555, kNoControlId}) {
    page.reset_content(id), page.set_horizontal_extent(id, 9), page.move_control(id, {1, 2, 3, 4});
    EXPECT_FALSE(page.user_double_click(id, 0)) << id;
  }
  page.set_item_text(10, "not a list's"), page.reset_content(12);
  page.set_horizontal_extent(12, 9);
  EXPECT_EQ(page.control(10)->text, "");
  EXPECT_EQ(page.control(10)->selection, 0);
  EXPECT_EQ(page.control(12)->horizontal_extent, 0);
  EXPECT_EQ(page.set_selection(12, 0), -1);
  EXPECT_EQ(page.get_item_text(12, nullptr, 9), 0);
  EXPECT_TRUE(log.commands.empty());
}

// A new size is kept within the page's smallest and what the message holds.
TEST_F(DialogTest, ResizeKeepsWithinTheLimits) {
  page.resize(10, 10);
  EXPECT_EQ(log.last_size.width, 120);
  EXPECT_EQ(log.last_size.height, 90);
  page.resize(70000, 70000);
  EXPECT_EQ(log.last_size.width, 0xFFFF);
  EXPECT_EQ(log.last_size.height, 0xFFFF);
}

TEST_F(DialogTest, UnhandledCloseActsAsCancel) {
  log.handle_close = false;
  page.close();
  EXPECT_TRUE(page.ended());
  EXPECT_EQ(page.result(), kIdCancel);
  log.handle_close = true;
}

TEST(RunDialog, FrontEndWithoutPagesClosesThePage) {
  Log log;
  g_log = &log;
  test_support::RecordingFrontEnd ui;
  EXPECT_EQ(run_dialog(kPage, nullptr, nullptr, logging_proc, 5), 99);
  ASSERT_GE(log.messages.size(), 2u);
  EXPECT_EQ(log.messages.front(), kWmInitDialog);
  EXPECT_EQ(log.messages.back(), kWmClose);
}
