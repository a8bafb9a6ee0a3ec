#include "platform/dialogs/dialog.h"

#include <algorithm>
#include <cstring>

#include "platform/trace.h"

namespace platform {

Window::Window(const DialogTemplate& dialog, const MenuTemplate* menu, Window* owner,
               DialogProc proc, BaseUnits units)
    : template_(dialog),
      menu_(menu),
      owner_(owner),
      proc_(proc),
      units_(units),
      caption_(dialog.caption) {
  if (units_.width <= 0) units_.width = 1;
  if (units_.height <= 0) units_.height = 1;
  for (const ControlTemplate& t : dialog.controls) {
    Control c{t.id, t.kind, t.style, t.text, {}, -1, 0, to_pixels(t.x, t.y, t.width, t.height)};
    controls_.push_back(c);
  }
  const Rect whole = to_pixels(0, 0, dialog.width, dialog.height);
  client_ = {whole.width, whole.height};
}

Rect Window::to_pixels(int x, int y, int width, int height) const {
  return {x * units_.width / 4, y * units_.height / 8, width * units_.width / 4,
          height * units_.height / 8};
}

Control* Window::find(int id) {
  if (id == kNoControlId) return nullptr;
  for (Control& c : controls_) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

const Control* Window::control(int id) const {
  if (id == kNoControlId) return nullptr;
  for (const Control& c : controls_) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

const Control* Window::default_button() const {
  for (const Control& c : controls_) {
    if (c.kind == ControlKind::kDefPushButton) return &c;
  }
  return nullptr;
}

void Window::scroll_together(int list_id, int other_list_id) {
  scroll_pairs_.emplace_back(list_id, other_list_id);
}

void Window::check_menu_item(int command, bool checked) {
  const auto found = menu_checks_.find(command);
  if (found != menu_checks_.end() && found->second == checked) return;
  menu_checks_[command] = checked;
  changed();
}

int Window::menu_item_check(int command) const {
  const auto found = menu_checks_.find(command);
  return found == menu_checks_.end() ? -1 : found->second;
}

void Window::set_text(const std::string& caption) {
  caption_ = caption;
  changed();
}

int Window::add_line(int list_id, const std::string& line) {
  Control* list = find(list_id);
  if (list == nullptr || !list->is_list()) return -1;
  list->lines.push_back(line);
  changed();
  return static_cast<int>(list->lines.size()) - 1;
}

void Window::reset_content(int list_id) {
  Control* list = find(list_id);
  if (list == nullptr || !list->is_list()) return;
  list->lines.clear();
  list->selection = -1;
  changed();
}

int Window::set_selection(int list_id, int index) {
  Control* list = find(list_id);
  if (list == nullptr || !list->is_list()) return -1;
  if ((list->style & kStyleNoSelection) != 0) return -1;
  const bool in_range = index >= 0 && index < static_cast<int>(list->lines.size());
  list->selection = in_range ? index : -1;
  changed();
  return list->selection;
}

int Window::selection(int list_id) const {
  const Control* list = control(list_id);
  if (list == nullptr || !list->is_list()) return -1;
  return list->selection;
}

void Window::set_horizontal_extent(int list_id, int pixels) {
  Control* list = find(list_id);
  if (list == nullptr || !list->is_list()) return;
  list->horizontal_extent = std::max(0, pixels);
  changed();
}

void Window::set_item_text(int id, const std::string& text) {
  Control* c = find(id);
  if (c == nullptr || c->is_list()) return;
  c->text = text;
  changed();
}

int Window::get_item_text(int id, char* buffer, int size) const {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  const Control* c = control(id);
  if (c == nullptr || c->is_list()) return 0;
  const size_t n = std::min(c->text.size(), static_cast<size_t>(size - 1));
  std::memcpy(buffer, c->text.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

void Window::move_control(int id, const Rect& rect) {
  Control* c = find(id);
  if (c == nullptr) return;
  c->rect = rect;
  changed();
}

void Window::end(int result) {
  ended_ = true;
  result_ = result;
  changed();
}

bool Window::send(unsigned message, uintptr_t wparam, intptr_t lparam) {
  return proc_(*this, message, wparam, lparam);
}

void Window::command(int id, unsigned notification) {
  send(kWmCommand, command_value(id, notification), 0);
}

bool Window::user_select(int list_id, int index) {
  Control* list = find(list_id);
  if (list == nullptr || !list->is_list()) return false;
  if ((list->style & kStyleNoSelection) != 0) return false;
  if (index < 0 || index >= static_cast<int>(list->lines.size())) return false;
  list->selection = index;
  changed();
  if ((list->style & kStyleNotify) != 0) command(list_id, kListSelectionChange);
  return true;
}

bool Window::user_double_click(int list_id, int index) {
  if (!user_select(list_id, index)) return false;
  const Control* list = control(list_id);
  if (list != nullptr && (list->style & kStyleNotify) != 0) command(list_id, kListDoubleClick);
  return true;
}

bool Window::user_set_text(int edit_id, const std::string& text) {
  Control* edit = find(edit_id);
  if (edit == nullptr || !edit->is_edit()) return false;
  edit->text = text;
  changed();
  command(edit_id, kEditChange);
  return true;
}

MinMaxInfo Window::min_max_info() {
  MinMaxInfo info;
  send(kWmGetMinMaxInfo, 0, reinterpret_cast<intptr_t>(&info));
  return info;
}

void Window::resize(int width, int height) {
  const MinMaxInfo limits = min_max_info();
  width = std::min(std::max(width, limits.min_track_width), 0xFFFF);
  height = std::min(std::max(height, limits.min_track_height), 0xFFFF);
  client_ = {width, height};
  changed();
  const uintptr_t packed = static_cast<uintptr_t>(width) | (static_cast<uintptr_t>(height) << 16);
  send(kWmSize, 0, static_cast<intptr_t>(packed));
}

void Window::close() {
  if (!send(kWmClose, 0, 0) && !ended_) command(kIdCancel);
}

int run_dialog(const DialogTemplate& dialog, const MenuTemplate* menu, Window* owner,
               DialogProc proc, intptr_t param) {
  FrontEnd& ui = front_end();
  Window page(dialog, menu, owner, proc, ui.base_units());
  page.send(kWmInitDialog, 0, param);
  flush_trace();
  if (!page.ended()) ui.run_modal(page);
  return page.result();
}

}  // namespace platform
