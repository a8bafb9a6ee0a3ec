#include "platform/term/page_view.h"

#include <algorithm>
#include <cstdio>

#include "platform/codepage.h"
#include "platform/term/term_text.h"

namespace platform {
namespace term {
namespace {

constexpr int kRowPrefix = 6;  // ">  3. "
constexpr int kColumnGap = 2;

const ControlTemplate& template_of(const Window& page, const Control& control) {
  const size_t index = static_cast<size_t>(&control - page.controls().data());
  return page.dialog_template().controls[index];
}

bool overlaps(int a_start, int a_length, int b_start, int b_length) {
  return a_start < b_start + b_length && b_start < a_start + a_length;
}

const Control* label_control(const Window& page, const Control& control) {
  const ControlTemplate& target = template_of(page, control);
  const Control* best = nullptr;
  int best_edge = -1;
  for (const Control& c : page.controls()) {
    if (c.kind != ControlKind::kStaticText) continue;
    const ControlTemplate& s = template_of(page, c);
    if (control.is_list()) {
      // Above the list and over it.
      const int bottom = s.y + s.height;
      if (bottom <= target.y + 1 && overlaps(s.x, s.width, target.x, target.width) &&
          bottom > best_edge) {
        best = &c;
        best_edge = bottom;
      }
    } else if (control.is_edit()) {
      // Left of the field, on its row.
      const int right = s.x + s.width;
      if (right <= target.x && overlaps(s.y, s.height, target.y, target.height) &&
          right > best_edge) {
        best = &c;
        best_edge = right;
      }
    }
  }
  return best;
}

bool is_some_label(const Window& page, const Control& stat) {
  for (const Control& c : page.controls()) {
    if ((c.is_list() || c.is_edit()) && label_control(page, c) == &stat) return true;
  }
  return false;
}

std::vector<const Control*> lists_of(const Window& page) {
  std::vector<const Control*> lists;
  for (const Control& c : page.controls()) {
    if (c.is_list()) lists.push_back(&c);
  }
  return lists;
}

void add_wrapped(std::vector<std::string>& out, const std::string& utf8, int width, int indent) {
  for (const std::string& line : wrap(utf8, width, indent)) out.push_back(line);
}

void draw_list(std::vector<std::string>& out, const Window& page, const Control& list, int width) {
  const std::string label = control_label(page, list);
  if (!label.empty()) out.push_back(to_utf8(label) + ":");
  if (list.lines.empty()) out.push_back(std::string(kRowPrefix, ' ') + "(empty)");
  for (size_t i = 0; i < list.lines.size(); ++i) {
    const std::string row = list_row(to_utf8(list.lines[i]), static_cast<int>(i),
                                     list.selection == static_cast<int>(i));
    add_wrapped(out, row, width, kRowPrefix);
  }
}

// Lists side by side, ordered left to right as on the page, when every line
// fits its column; false (and nothing drawn) otherwise.
bool draw_list_columns(std::vector<std::string>& out, const Window& page,
                       std::vector<const Control*> lists, int width) {
  std::stable_sort(lists.begin(), lists.end(), [&](const Control* a, const Control* b) {
    return template_of(page, *a).x < template_of(page, *b).x;
  });
  std::vector<std::vector<std::string>> columns;
  std::vector<int> widths;
  size_t rows = 0;
  int total = -kColumnGap;
  for (const Control* list : lists) {
    std::vector<std::string> column;
    column.push_back(to_utf8(control_label(page, *list)));
    if (list->lines.empty()) column.push_back(std::string(kRowPrefix, ' ') + "(empty)");
    for (size_t i = 0; i < list->lines.size(); ++i) {
      column.push_back(list_row(to_utf8(list->lines[i]), static_cast<int>(i),
                                list->selection == static_cast<int>(i)));
    }
    int column_width = 0;
    for (const std::string& cell : column) column_width = std::max(column_width, text_width(cell));
    total += column_width + kColumnGap;
    rows = std::max(rows, column.size());
    columns.push_back(column);
    widths.push_back(column_width);
  }
  if (total > width) return false;
  for (size_t r = 0; r < rows; ++r) {
    std::string line;
    for (size_t c = 0; c < columns.size(); ++c) {
      const std::string cell = r < columns[c].size() ? columns[c][r] : "";
      line += c + 1 < columns.size() ? pad_right(cell, widths[c] + kColumnGap) : cell;
    }
    out.push_back(trim_blanks(line).empty() ? "" : line.substr(0, line.find_last_not_of(' ') + 1));
  }
  return true;
}

}  // namespace

std::string control_label(const Window& page, const Control& control) {
  const Control* label = label_control(page, control);
  return label != nullptr ? label->text : "";
}

std::string list_row(const std::string& utf8_text, int index, bool selected) {
  char number[16];
  std::snprintf(number, sizeof number, "%3d. ", index + 1);
  return std::string(selected ? ">" : " ") + number + utf8_text;
}

std::string menu_line(const MenuTemplate& menu) {
  std::string line = "Menu:";
  bool first = true;
  for (const MenuPopup& popup : menu.popups) {
    for (const MenuItem& item : popup.items) {
      line += first ? " " : " | ";
      line += to_utf8(item.text);
      first = false;
    }
  }
  return line;
}

std::vector<std::string> draw_page(const Window& page, int width) {
  std::vector<std::string> out;
  out.push_back("=== " + to_utf8(page.text()) + " ===");
  const std::vector<const Control*> lists = lists_of(page);
  bool lists_drawn = false;
  std::string buttons;
  for (const Control& c : page.controls()) {
    if (c.is_button()) {
      buttons += (buttons.empty() ? "[" : " [") + to_utf8(c.text) + "]";
    } else if (c.kind == ControlKind::kStaticText) {
      if (!is_some_label(page, c) && !c.text.empty()) add_wrapped(out, to_utf8(c.text), width, 0);
    } else if (c.is_edit()) {
      const std::string label = control_label(page, c);
      const bool secret = (c.style & kStylePassword) != 0;
      const std::string text = secret && !c.text.empty() ? "(not shown)" : to_utf8(c.text);
      add_wrapped(out, (label.empty() ? "Text" : to_utf8(label)) + " = " + text, width, 4);
    } else if (c.is_list() && lists.size() > 1) {
      if (!lists_drawn && !draw_list_columns(out, page, lists, width)) {
        for (const Control* list : lists) draw_list(out, page, *list, width);
      }
      lists_drawn = true;
    } else if (c.is_list()) {
      draw_list(out, page, c, width);
    }
  }
  if (!buttons.empty()) add_wrapped(out, buttons, width, 0);
  if (page.menu() != nullptr) add_wrapped(out, menu_line(*page.menu()), width, 6);
  return out;
}

std::string prompt(const Window& page) {
  const Control* def = page.default_button();
  if (def == nullptr) return "> ";
  return "(Enter = " + to_utf8(def->text) + ") > ";
}

}  // namespace term
}  // namespace platform
