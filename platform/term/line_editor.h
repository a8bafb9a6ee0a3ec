#pragma once
// Typing at a terminal: the line can be edited (arrow keys, Home, End),
// Up and Down bring back the lines typed earlier in the run, and Tab
// completes the words of the commands the page understands. Used only when
// the input is a terminal; piped input is read as plain bytes.
#include <cstdio>
#include <string>
#include <vector>

namespace platform {
namespace term {

// Whether the editing library could be loaded; without it a terminal's
// lines are read as they come, as piped input is.
bool line_editing_available();

// Shows the prompt on out and reads one edited line from in (a terminal)
// without its line end; false at the end of input (Ctrl-D on an empty line).
// commands are what Tab completes, in lower case ("manual search").
// Only when line_editing_available().
bool edit_line(FILE* in, FILE* out, const std::string& prompt,
               const std::vector<std::string>& commands, std::string& line);
// Keeps a line for Up and Down to bring back; a line that holds a secret is
// never given here.
void remember_line(const std::string& line);

// The completions of the word being typed: text is that word, typed the
// text of the line before it. Each completion ends where its command's word
// ends, so "manual s" completes to "manual search" word by word.
std::vector<std::string> complete_word(const std::vector<std::string>& commands,
                                       const std::string& typed, const std::string& text);

}  // namespace term
}  // namespace platform
