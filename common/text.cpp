#include "common/text.h"

#include <boost/tokenizer.hpp>
#include <cctype>
#include <cstdlib>

#include "platform/codepage.h"

void strip_leading(std::string& text, char c) {
  size_t n = 0;
  while (n < text.size() && text[n] == c) ++n;
  text.erase(0, n);
}

void strip_trailing(std::string& text, char c) {
  size_t n = text.size();
  while (n > 0 && text[n - 1] == c) --n;
  text.erase(n);
}

void remove_char(std::string& text, char c) {
  std::string kept;
  kept.reserve(text.size());
  for (char ch : text) {
    if (ch != c) kept += ch;
  }
  text.swap(kept);
}

void remove_tabs_and_breaks(std::string& text) {
  remove_char(text, '\t');
  remove_char(text, '\r');
  remove_char(text, '\n');
}

void replace_char(std::string& text, char from, char to) {
  if (from == to) return;
  for (char& ch : text) {
    if (ch == from) ch = to;
  }
}

void squeeze_blanks(std::string& text) {
  size_t p = text.find(' ');
  while (p != std::string::npos) {
    if (p + 1 < text.size() && text[p + 1] == ' ') text.erase(p, 1);
    p = text.find(' ', p + 1);
  }
}

void to_lower(std::string& text) {
  for (char& ch : text) ch = platform::ascii_lower(ch);
}

namespace {

void upper_at(std::string& text, size_t i) {
  if (text[i] >= 'a' && text[i] <= 'z') text[i] = static_cast<char>(text[i] - 'a' + 'A');
}

}  // namespace

void capitalize_words(std::string& text, const std::string& separators) {
  if (text.empty()) return;
  upper_at(text, 0);
  for (char sep : separators) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
      if (text[i] == sep) upper_at(text, i + 1);
    }
  }
}

void url_unescape(std::string& text) {
  size_t p = 0;
  for (;;) {
    const size_t percent = text.find('%', p);
    if (percent == std::string::npos) return;
    const std::string digits = text.substr(percent + 1, 2);
    const long value = std::strtol(digits.c_str(), nullptr, 16);
    text.erase(percent, 3);
    const auto byte = static_cast<unsigned char>(value & 0xFF);
    if (byte != 0) text.insert(percent, 1, static_cast<char>(byte));
    p = percent + 1;
  }
}

void remove_controls_and_undefined(std::string& text) {
  std::string kept;
  kept.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    // A letter the code page lacks (from the database's API) stays whole.
    if (const size_t escape = platform::foreign_character_escape(text, i)) {
      kept.append(text, i, escape);
      i += escape - 1;
      continue;
    }
    // So does a control character, bidi marks included: whole, not its
    // escape's digits.
    if (const size_t escape = platform::control_character_escape(text, i)) {
      i += escape - 1;
      continue;
    }
    const auto b = static_cast<unsigned char>(text[i]);
    const bool control = b < 0x20 || b == 0x7F;
    const bool undefined = b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
    if (!control && !undefined) kept += text[i];
  }
  text.swap(kept);
}

void safe_file_name(std::string& text) {
  remove_controls_and_undefined(text);
  remove_char(text, '\\');
  remove_char(text, '/');
  remove_char(text, '?');
  replace_char(text, ':', ';');
  replace_char(text, '*', '_');
  replace_char(text, '<', '[');
  replace_char(text, '>', ']');
  remove_char(text, '|');
  std::string quoted;
  quoted.reserve(text.size());
  for (char ch : text) {
    if (ch == '"') {
      quoted += "''";
    } else {
      quoted += ch;
    }
  }
  text.swap(quoted);
}

int find_text(const std::string& haystack, const std::string& needle, int start) {
  if (needle.empty() || start < 0 || static_cast<size_t>(start) >= haystack.size()) return -1;
  const size_t p = haystack.find(needle, static_cast<size_t>(start));
  return p == std::string::npos ? -1 : static_cast<int>(p);
}

int rfind_text(const std::string& haystack, const std::string& needle, int start) {
  if (needle.empty() || haystack.empty() || start < 0) return -1;
  const size_t last = haystack.size() - 1;
  const size_t end = static_cast<size_t>(start) >= last ? last : static_cast<size_t>(start);
  // The needle must end at or before `end`, so it may begin at most here.
  if (end + 1 < needle.size()) return -1;
  const size_t p = haystack.rfind(needle, end + 1 - needle.size());
  return p == std::string::npos ? -1 : static_cast<int>(p);
}

void split_any(std::vector<std::string>& list, const std::string& text,
               const std::string& delimiters) {
  if (delimiters.empty()) {
    // char_separator treats an empty set as "split at blanks"; here an empty
    // set means no delimiter at all.
    if (!text.empty()) list.push_back(text);
    return;
  }
  const boost::char_separator<char> separator(delimiters.c_str(), "", boost::drop_empty_tokens);
  const boost::tokenizer<boost::char_separator<char>> pieces(text, separator);
  for (const std::string& piece : pieces) list.push_back(piece);
}

void erase_all(std::string& text, const std::string& needle, int count) {
  if (count < 1) return;
  for (int p = find_text(text, needle, 0); p >= 0; p = find_text(text, needle, 0)) {
    text.erase(static_cast<size_t>(p), static_cast<size_t>(count));
  }
}

std::string counted(size_t count, const std::string& one, const std::string& many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}
