#include "platform/term/term_text.h"

#include <cctype>

#include "platform/codepage.h"

namespace platform {
namespace term {
namespace {

bool continuation_byte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Byte offset after the first n characters of text (or its size).
size_t offset_of(const std::string& text, int n) {
  size_t i = 0;
  for (int seen = 0; i < text.size(); ++i) {
    if (!continuation_byte(text[i])) {
      if (seen == n) break;
      ++seen;
    }
  }
  return i;
}

}  // namespace

int text_width(const std::string& utf8) {
  int n = 0;
  for (char c : utf8) {
    if (!continuation_byte(c)) ++n;
  }
  return n;
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
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x80 && std::isalnum(u)) key += ascii_lower(c);
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
