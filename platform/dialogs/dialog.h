#pragma once
// Modal pages run by a dialog procedure, the way the desktop's dialog manager
// runs them. A Window is the running page: it holds every control's state,
// and a front end draws it and turns the user's input into messages.
//
// Two sides use a Window:
//  - the page's procedure reads and changes its controls by id (list lines,
//    selection, edit texts, caption, control rectangles) and ends it;
//  - the front end delivers input (command, select, type, resize, close) and
//    re-reads the model after each message to draw it again.
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/dialogs/dialog_template.h"
#include "platform/dialogs/front_end.h"

namespace platform {

// Messages, with the desktop's numbers so that procedures read as there.
constexpr unsigned kWmInitDialog = 0x0110;     // lparam: the run's parameter
constexpr unsigned kWmCommand = 0x0111;        // wparam: id | notification << 16
constexpr unsigned kWmSize = 0x0005;           // lparam: width | height << 16
constexpr unsigned kWmGetMinMaxInfo = 0x0024;  // lparam: MinMaxInfo*
constexpr unsigned kWmClose = 0x0010;

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

// Notifications carried in the high word of a command.
constexpr unsigned kButtonClicked = 0;
constexpr unsigned kListSelectionChange = 1;
constexpr unsigned kListDoubleClick = 2;
constexpr unsigned kEditChange = 0x0300;

inline int low_word(uintptr_t value) { return static_cast<int>(value & 0xFFFF); }
inline int high_word(uintptr_t value) { return static_cast<int>((value >> 16) & 0xFFFF); }
inline uintptr_t command_value(int id, unsigned notification) {
  return (static_cast<uintptr_t>(notification & 0xFFFF) << 16) |
         (static_cast<uintptr_t>(id) & 0xFFFF);
}

struct MinMaxInfo {
  int min_track_width = 0;  // pixels; 0 means no limit
  int min_track_height = 0;
};

// Returns true when it handled the message.
using DialogProc = bool (*)(Window& dialog, unsigned message, uintptr_t wparam, intptr_t lparam);

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
};

struct Size {
  int width = 0, height = 0;
};

// One control of a running page.
struct Control {
  int id;
  ControlKind kind;
  unsigned style;
  std::string text;                // buttons and statics: label; edits: contents
  std::vector<std::string> lines;  // list boxes
  int selection = -1;              // list boxes: selected line, -1 for none
  int horizontal_extent = 0;       // list boxes: scrollable width in pixels
  Rect rect;                       // pixels, in the page's client area

  bool is_list() const { return kind == ControlKind::kListBox; }
  bool is_edit() const { return kind == ControlKind::kEdit; }
  bool is_button() const {
    return kind == ControlKind::kPushButton || kind == ControlKind::kDefPushButton;
  }
};

class Window {
 public:
  Window(const DialogTemplate& dialog, const MenuTemplate* menu, Window* owner, DialogProc proc,
         BaseUnits units);
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // --- for the page's procedure ---------------------------------------

  void set_text(const std::string& caption);  // the window's caption
  const std::string& text() const { return caption_; }

  // List boxes. Each returns -1 when id names no list box.
  int add_line(int list_id, const std::string& line);  // index of the new line
  void reset_content(int list_id);
  // Selects a line, or clears the selection with -1. Returns the index, or
  // -1 when cleared, out of range or the list cannot select.
  int set_selection(int list_id, int index);
  int selection(int list_id) const;
  void set_horizontal_extent(int list_id, int pixels);

  // Edit fields and other texts.
  void set_item_text(int id, const std::string& text);
  // Copies at most size - 1 characters and a terminating zero into buffer;
  // returns the number of characters copied (0 for an unknown id).
  int get_item_text(int id, char* buffer, int size) const;

  void move_control(int id, const Rect& rect);  // pixels
  Size client_size() const { return client_; }

  void end(int result);  // closes the page once its current message returns

  // One value the procedure keeps with its page, as the desktop's DWLP_USER:
  // usually what its open message brought.
  void set_user_data(intptr_t value) { user_data_ = value; }
  intptr_t user_data() const { return user_data_; }

  // Two list boxes whose lines belong together row by row: a front end
  // that scrolls lists keeps them at the same row.
  void scroll_together(int list_id, int other_list_id);
  const std::vector<std::pair<int, int>>& scroll_pairs() const { return scroll_pairs_; }

  // A check mark beside a menu item, as a switch's state.
  void check_menu_item(int command, bool checked);
  // 1 checked, 0 unchecked, -1 for an item that was never given a mark.
  int menu_item_check(int command) const;

  // --- for front ends ----------------------------------------------------

  const DialogTemplate& dialog_template() const { return template_; }
  const MenuTemplate* menu() const { return menu_; }
  Window* owner() const { return owner_; }
  const std::vector<Control>& controls() const { return controls_; }
  const Control* control(int id) const;
  const Control* default_button() const;  // nullptr when the page has none
  BaseUnits base_units() const { return units_; }
  // A template rectangle in this page's pixels.
  Rect to_pixels(int x, int y, int width, int height) const;

  bool ended() const { return ended_; }
  int result() const { return result_; }
  // Grows by one with every change a front end would have to draw.
  unsigned revision() const { return revision_; }

  // Input. Each delivers its message(s) to the procedure.
  bool send(unsigned message, uintptr_t wparam, intptr_t lparam);
  void command(int id, unsigned notification = kButtonClicked);
  // The user picks a line; false (and nothing sent) for a line out of range
  // or a list that cannot select.
  bool user_select(int list_id, int index);
  bool user_double_click(int list_id, int index);
  // The user types into an edit field; false when id names no edit field.
  bool user_set_text(int edit_id, const std::string& text);
  // The user resizes the page; the size is held at the page's minimum.
  void resize(int width, int height);
  MinMaxInfo min_max_info();
  // The close box. A procedure that does not handle it gets Cancel, as the
  // desktop's dialog manager does.
  void close();

 private:
  Control* find(int id);
  void changed() { ++revision_; }

  const DialogTemplate& template_;
  const MenuTemplate* menu_;
  Window* owner_;
  DialogProc proc_;
  BaseUnits units_;
  std::string caption_;
  std::vector<Control> controls_;
  std::map<int, bool> menu_checks_;
  std::vector<std::pair<int, int>> scroll_pairs_;
  Size client_;
  bool ended_ = false;
  int result_ = 0;
  unsigned revision_ = 0;
  intptr_t user_data_ = 0;
};

// Runs the procedure modally on the current front end: the page gets its
// open message (with param) and then the user's input until it ends.
// Returns the result the procedure ended it with.
int run_dialog(const DialogTemplate& dialog, const MenuTemplate* menu, Window* owner,
               DialogProc proc, intptr_t param);

}  // namespace platform
