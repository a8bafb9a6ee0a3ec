#pragma once
// The program holds text as 8-bit Windows-1252; the file system, the terminal
// and Qt speak UTF-8. Every name and text crosses between the two here.
//
// A file name may hold characters that Windows-1252 lacks (Japanese, say) or
// bytes that are not UTF-8 at all. So that such a file is still listed,
// opened and renamed as itself, those are carried in the 8-bit text as an
// escape that starts with a byte Windows-1252 leaves undefined:
//   0x81 <hex code point> ';'   a Unicode character outside Windows-1252
//   0x8D <two hex digits>       a raw byte of a name that is not UTF-8
// to_utf8 turns the escapes back into what they stand for, so a round trip
// gives the original name byte for byte.
#include <cstddef>
#include <string>

namespace platform {

// Appends the UTF-8 bytes of one Unicode code point.
void append_utf8(std::string& out, char32_t code_point);

// The length of the valid, shortest-form UTF-8 sequence at text[at], or 0
// when the bytes there are not one.
size_t utf8_sequence_length(const std::string& text, size_t at);

// Windows-1252 (with the escapes above) to UTF-8. Undefined bytes that do not
// start a valid escape become U+FFFD.
std::string to_utf8(const std::string& cp1252);

// A file-system name (UTF-8, or any bytes) to Windows-1252, escaping what the
// code page cannot hold. Reversible through to_utf8.
std::string name_from_fs(const std::string& fs_name);
// 'A' to 'Z' as 'a' to 'z'; every other byte as it is.
inline char ascii_lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
inline bool ascii_letter_or_digit(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}
inline std::string ascii_lower(std::string text) {
  for (char& c : text) c = ascii_lower(c);
  return text;
}

// The invisible marks that set the direction of the text around them
// (U+061C, U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069): in a name
// they make "Track\u202e3pm.exe" read as something it is not, so they count
// as control characters.
bool is_bidi_control(char32_t code_point);

// The length of the character escape at text[at] when it stands for a
// character that Windows-1252 lacks and that is no control character (as
// name_from_fs writes it for a Japanese letter, say); 0 for anything else.
// Such an escape can never turn into '/', a zero byte or a control.
size_t foreign_character_escape(const std::string& text, size_t at);
// The length of the character escape at text[at] when it stands for a
// control character (C0, DEL, C1 or a bidi control); 0 for anything else.
size_t control_character_escape(const std::string& text, size_t at);

// The file system's bytes for a name the program holds.
std::string fs_name(const std::string& name);

// Display or tag text in UTF-8 to Windows-1252: a character the code page
// lacks becomes '?', as the desktop's "A" functions do. Not reversible.
std::string text_from_utf8(const std::string& utf8);

}  // namespace platform
