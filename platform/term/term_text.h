#pragma once
// Text shaping for the terminal: widths in columns of UTF-8 text, lines
// wrapped to the terminal's width, and the loose comparison that commands
// use.
#include <string>
#include <vector>

namespace platform {
namespace term {

// The columns UTF-8 text takes on the terminal: two for each wide East
// Asian character, none for a combining mark, one for any other.
int text_width(const std::string& utf8);
// Pads with blanks on the right to width columns.
std::string pad_right(const std::string& utf8, int width);
// Splits into pieces of at most width columns, at a blank where one is
// near the end, never inside a character. Continuation pieces get indent
// blanks in front (counted in the width). Empty text gives one empty line.
std::vector<std::string> wrap(const std::string& utf8, int width, int indent);
// Lower-case ASCII letters and digits only: "Next >>" -> "next",
// "Toggel M3U" -> "toggelm3u".
std::string command_key(const std::string& text);
std::string trim_blanks(const std::string& text);
// The text as it may go to the terminal: every control character but the
// line end (the bidi marks included), and every byte that is not UTF-8,
// written out as \xNN, so that
// a name from a page can neither move the cursor, recolour the screen nor
// retitle the window.
std::string visible(const std::string& utf8);

}  // namespace term
}  // namespace platform
