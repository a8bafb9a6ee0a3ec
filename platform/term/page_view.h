#pragma once
// How the terminal shows a running page: its caption, its texts, lists and
// edit fields in template order, its buttons, its menu, all in UTF-8 and
// fitted to the terminal's width.
#include <string>
#include <vector>

#include "platform/dialogs/dialog.h"

namespace platform {
namespace term {

// The static text that names a list (the one just above it) or an edit
// field (the one left of it), in the code page; empty when none does.
std::string control_label(const Window& page, const Control& control);

// The page's lines, without the prompt.
std::vector<std::string> draw_page(const Window& page, int width);

// One list line: '>' when selected, the number from 1 in three columns,
// ". " and the text, e.g. ">  3. Harbour Lights".
std::string list_row(const std::string& utf8_text, int index, bool selected);

// The menu's items on one line: "Menu: Directory? | About | ...".
std::string menu_line(const MenuTemplate& menu);

std::string prompt(const Window& page);

}  // namespace term
}  // namespace platform
