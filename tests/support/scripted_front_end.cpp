#include "tests/support/scripted_front_end.h"

#include <utility>

namespace test_support {

ScriptStep select_line(int list_id, int index) {
  ScriptStep s(ScriptStep::kSelect);
  s.id = list_id;
  s.index = index;
  return s;
}

ScriptStep double_click(int list_id, int index) {
  ScriptStep s = select_line(list_id, index);
  s.kind = ScriptStep::kDoubleClick;
  return s;
}

ScriptStep set_text(int edit_id, const std::string& text) {
  ScriptStep s(ScriptStep::kSetText);
  s.id = edit_id;
  s.text = text;
  return s;
}

ScriptStep press(int command_id) {
  ScriptStep s(ScriptStep::kPress);
  s.id = command_id;
  return s;
}

ScriptStep resize(int width, int height) {
  ScriptStep s(ScriptStep::kResize);
  s.width = width;
  s.height = height;
  return s;
}

ScriptStep close_page() { return ScriptStep(ScriptStep::kClose); }

ScriptStep inspect(std::function<void(platform::Window&)> look) {
  ScriptStep s(ScriptStep::kInspect);
  s.inspect = std::move(look);
  return s;
}

ScriptedFrontEnd::ScriptedFrontEnd() { platform::set_front_end(this); }

ScriptedFrontEnd::~ScriptedFrontEnd() { platform::set_front_end(nullptr); }

int ScriptedFrontEnd::message_box(platform::Window* owner, const std::string& text,
                                  const std::string& caption, unsigned style) {
  boxes.push_back({text, caption, style, owner != nullptr});
  if ((style & 0x0F) != platform::kBoxYesNo) return platform::kAnswerOk;
  if (answers.empty()) return platform::kAnswerNo;
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

void ScriptedFrontEnd::run_modal(platform::Window& page) {
  draw(page);
  while (!page.ended()) {
    if (script.empty()) {
      ran_out = true;
      page.close();
      if (!page.ended()) page.end(platform::kIdCancel);
      break;
    }
    const ScriptStep step = script.front();
    script.pop_front();
    take(page, step);
    draw(page);
  }
}

void ScriptedFrontEnd::take(platform::Window& page, const ScriptStep& step) {
  const std::string where = " on page '" + page.text() + "'";
  switch (step.kind) {
    case ScriptStep::kSelect:
      if (!page.user_select(step.id, step.index))
        problems.push_back("cannot select line " + std::to_string(step.index) + " of list " +
                           std::to_string(step.id) + where);
      break;
    case ScriptStep::kDoubleClick:
      if (!page.user_double_click(step.id, step.index))
        problems.push_back("cannot double-click list " + std::to_string(step.id) + where);
      break;
    case ScriptStep::kSetText:
      if (!page.user_set_text(step.id, step.text))
        problems.push_back("no edit field " + std::to_string(step.id) + where);
      break;
    case ScriptStep::kPress:
      page.command(step.id);
      break;
    case ScriptStep::kResize:
      page.resize(step.width, step.height);
      break;
    case ScriptStep::kClose:
      page.close();
      break;
    case ScriptStep::kInspect:
      step.inspect(page);
      break;
  }
}

void ScriptedFrontEnd::draw(const platform::Window& page) {
  DrawnPage drawn_page;
  drawn_page.template_id = page.dialog_template().id;
  drawn_page.caption = page.text();
  for (const platform::Control& c : page.controls()) {
    if (c.is_list()) {
      drawn_page.lines[c.id] = c.lines;
      drawn_page.selections[c.id] = c.selection;
      drawn_page.extents[c.id] = c.horizontal_extent;
    } else if (c.is_edit()) {
      drawn_page.texts[c.id] = c.text;
    }
  }
  pages.push_back(drawn_page);
}

std::vector<std::string> ScriptedFrontEnd::box_texts() const {
  std::vector<std::string> out;
  for (const RecordedBox& box : boxes) out.push_back(box.text);
  return out;
}

std::vector<DrawnPage> ScriptedFrontEnd::drawn(const std::string& caption) const {
  std::vector<DrawnPage> out;
  for (const DrawnPage& p : pages) {
    if (p.caption == caption) out.push_back(p);
  }
  return out;
}

}  // namespace test_support
