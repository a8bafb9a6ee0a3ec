#pragma once
// libedit, loaded the first time a line is read from a terminal. It and the
// libraries it needs (terminfo, libbsd) are a tenth of the program's memory
// at start, and a run whose input is a pipe or a file never uses them.
#include <editline/readline.h>

namespace platform {
namespace term {

// The functions and variables of the library's readline interface that the
// line editor uses.
struct EditLibrary {
  decltype(&::readline) readline;
  decltype(&::rl_initialize) initialize;
  decltype(&::add_history) add_history;
  decltype(&::rl_completion_matches) completion_matches;
  decltype(&::rl_instream) instream;
  decltype(&::rl_outstream) outstream;
  decltype(&::rl_readline_name) readline_name;
  decltype(&::rl_line_buffer) line_buffer;
  decltype(&::rl_completer_word_break_characters) word_break_characters;
  decltype(&::rl_attempted_completion_function) attempted_completion_function;
  decltype(&::rl_attempted_completion_over) attempted_completion_over;
};

// The loaded library, or null when it cannot be loaded; lines are then read
// without editing.
const EditLibrary* edit_library();

}  // namespace term
}  // namespace platform
