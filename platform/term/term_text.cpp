#include "platform/term/term_text.h"

#include <locale.h>
#include <wchar.h>

#include "platform/codepage.h"

namespace platform {
namespace term {
namespace {

// The code point of the valid UTF-8 sequence of that length at text[at].
char32_t code_point_at(const std::string& text, size_t at, size_t length) {
  static const unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t code = static_cast<unsigned char>(text[at]) & kLeadBits[length];
  for (size_t k = 1; k < length; ++k) code = (code << 6) | (text[at + k] & 0x3F);
  return code;
}

// The columns a character takes on a terminal, from the C library's table:
// two for the wide letters of East Asian scripts, none for a combining
// mark. The table is read in a UTF-8 locale of its own, whatever locale the
// program runs in; a byte that is no character takes one.
int columns_at(const std::string& text, size_t at, size_t length) {
  if (length <= 1) return 1;
  static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  if (utf8 == static_cast<locale_t>(0)) return 1;
  const locale_t before = uselocale(utf8);
  const int columns = wcwidth(static_cast<wchar_t>(code_point_at(text, at, length)));
  uselocale(before);
  return columns < 0 ? 1 : columns;
}

size_t length_at(const std::string& text, size_t at) {
  const size_t length = utf8_sequence_length(text, at);
  return length == 0 ? 1 : length;
}

// Byte offset after the longest start of text that fits in that many
// columns (or its size); never inside a character.
size_t offset_of(const std::string& text, int columns) {
  size_t i = 0;
  for (int used = 0; i < text.size();) {
    const size_t length = length_at(text, i);
    used += columns_at(text, i, length);
    if (used > columns) break;
    i += length;
  }
  return i;
}

// C0 controls and DEL; C1 controls are the two-byte sequences C2 80 to C2
// 9F; the bidi marks would reorder what is drawn after them.
bool is_control(const std::string& text, size_t at, size_t length) {
  const auto b = static_cast<unsigned char>(text[at]);
  if (length == 1) return b < 0x20 || b == 0x7F;
  if (length == 2 && b == 0xC2) return static_cast<unsigned char>(text[at + 1]) < 0xA0;
  char32_t code_point = 0;
  for (size_t k = 0; k < length; ++k) {
    const auto byte = static_cast<unsigned char>(text[at + k]);
    code_point = k == 0 ? byte & (0x7F >> length) : (code_point << 6) | (byte & 0x3F);
  }
  return is_bidi_control(code_point);
}

void append_shown_bytes(std::string& out, const std::string& text, size_t at, size_t length) {
  static const char kHex[] = "0123456789abcdef";
  for (size_t k = at; k < at + length; ++k) {
    const auto b = static_cast<unsigned char>(text[k]);
    out += "\\x";
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
  }
}

}  // namespace

std::string visible(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const size_t length = utf8_sequence_length(utf8, i);
    if (utf8[i] == '\n') {
      out += '\n';
    } else if (length == 0 || is_control(utf8, i, length)) {
      append_shown_bytes(out, utf8, i, length == 0 ? 1 : length);
    } else {
      out.append(utf8, i, length);
    }
    i += length == 0 ? 1 : length;
  }
  return out;
}

int text_width(const std::string& utf8) {
  int columns = 0;
  for (size_t i = 0; i < utf8.size();) {
    const size_t length = length_at(utf8, i);
    columns += columns_at(utf8, i, length);
    i += length;
  }
  return columns;
}

std::string pad_right(const std::string& utf8, int width) {
  const int missing = width - text_width(utf8);
  return missing > 0 ? utf8 + std::string(static_cast<size_t>(missing), ' ') : utf8;
}

std::vector<std::string> wrap(const std::string& utf8, int width, int indent) {
  std::vector<std::string> lines;
  if (width < indent + 10) width = indent + 10;  // keep some room on narrow terminals
  std::string rest = utf8;
  std::string prefix;
  do {
    const int room = width - text_width(prefix);
    if (text_width(rest) <= room) {
      lines.push_back(prefix + rest);
      break;
    }
    size_t cut = offset_of(rest, room);
    if (cut == 0) cut = length_at(rest, 0);  // a wide character alone in a narrow room
    // Break at the last blank of the piece when it is not too far back.
    const size_t blank = rest.rfind(' ', cut);
    if (blank != std::string::npos && blank > cut / 2) cut = blank;
    lines.push_back(prefix + rest.substr(0, cut));
    rest = rest.substr(cut);
    if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
    prefix.assign(static_cast<size_t>(indent), ' ');
  } while (!rest.empty());
  return lines;
}

std::string command_key(const std::string& text) {
  std::string key;
  for (const char c : text) {
    if (ascii_letter_or_digit(static_cast<unsigned char>(c))) key += ascii_lower(c);
  }
  return key;
}

std::string trim_blanks(const std::string& text) {
  const size_t b = text.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  return text.substr(b, text.find_last_not_of(" \t\r") - b + 1);
}

}  // namespace term
}  // namespace platform
