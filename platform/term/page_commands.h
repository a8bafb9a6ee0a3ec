#pragma once
// The commands a person types on a page, one a line:
//   3                  select line 3 of the page's only list
//   release 3          select line 3 of the list labelled "Release"
//   next, force match  press the button or menu item of that text (letters
//                      and digits only, case ignored; a unique prefix will do)
//   = text             set the page's first edit field
//   track = text       set the edit field labelled "... Track ..."
//   (empty line)       the default button
// Anything else gets a hint.
#include <string>
#include <vector>

#include "platform/dialogs/dialog.h"

namespace platform {
namespace term {

struct PageCommand {
  enum Kind { kSelect, kSetText, kPress, kHint };
  Kind kind = kHint;
  int id = 0;        // list, edit field, button or menu command
  int index = 0;     // kSelect: the line, from 0
  std::string text;  // kSetText: in the code page; kHint: UTF-8
};

// line is what the person typed, UTF-8, without its line end.
PageCommand parse_page_command(const Window& page, const std::string& line);

// The words Tab completes on the page, in lower case: its buttons and menu
// items ("manual search", "toggel m3u") and its lists' and fields' names.
std::vector<std::string> command_words(const Window& page);

// The one-line list of what the page understands.
std::string command_hint(const Window& page);

}  // namespace term
}  // namespace platform
