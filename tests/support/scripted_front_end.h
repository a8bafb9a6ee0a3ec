#pragma once
// A front end for the tests: runs pages from a script of user actions,
// records every page as it is drawn, every message box and every address
// opened, and never touches a terminal.
//
//   ScriptedFrontEnd ui;                       // installs itself
//   ui.script = {select_line(1000, 2), press(kIdNext)};
//   show_search_term_page();
//
// Steps are taken in order by whichever page is running, nested pages
// included. When the script runs out while a page is open, the page gets
// its close box, as at the end of a terminal's input.
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/front_end.h"
#include "tests/support/recording_front_end.h"

namespace test_support {

struct ScriptStep {
  enum Kind { kSelect, kDoubleClick, kSetText, kPress, kResize, kClose, kInspect };
  explicit ScriptStep(Kind k) : kind(k) {}
  Kind kind;
  int id = 0;     // list, edit or command id
  int index = 0;  // list line, from 0
  std::string text;
  int width = 0, height = 0;
  std::function<void(platform::Window&)> inspect;
};

ScriptStep select_line(int list_id, int index);
ScriptStep double_click(int list_id, int index);
ScriptStep set_text(int edit_id, const std::string& text);
ScriptStep press(int command_id);  // a button or a menu command
ScriptStep resize(int width, int height);
ScriptStep close_page();
// Lets the test look at the running page at this point of the script.
ScriptStep inspect(std::function<void(platform::Window&)> look);

// A page as the front end drew it.
struct DrawnPage {
  int template_id = 0;
  std::string caption;
  std::map<int, std::vector<std::string>> lines;  // by list id
  std::map<int, int> selections;                  // by list id
  std::map<int, std::string> texts;               // edits by id
  std::map<int, int> extents;                     // list horizontal extents by id
};

class ScriptedFrontEnd : public platform::FrontEnd {
 public:
  ScriptedFrontEnd();
  ~ScriptedFrontEnd() override;

  int message_box(platform::Window* owner, const std::string& text, const std::string& caption,
                  unsigned style) override;
  void run_modal(platform::Window& page) override;
  void open_url(const std::string& url) override { opened_urls.push_back(url); }

  std::vector<std::string> box_texts() const;
  // Pages drawn with that caption, in order.
  std::vector<DrawnPage> drawn(const std::string& caption) const;

  std::deque<ScriptStep> script;
  std::deque<int> answers;  // Yes/No boxes; No when empty
  std::vector<RecordedBox> boxes;
  std::vector<DrawnPage> pages;  // when shown, then after each step
  std::vector<std::string> opened_urls;
  std::vector<std::string> problems;  // steps that a page could not take
  bool ran_out = false;               // a page was closed for want of steps

 private:
  void take(platform::Window& page, const ScriptStep& step);
  void draw(const platform::Window& page);
};

}  // namespace test_support
