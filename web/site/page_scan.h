#pragma once
// Position arithmetic shared by the page readers. Positions are ints with
// -1 for "none"; a search that starts from none finds nothing, so a chain of
// searches over a cut page simply runs dry instead of reading past the end.
#include <string>

namespace page_scan {

// p + k, or none when p is none.
inline int advance(int p, int k) { return p < 0 ? -1 : p + k; }

// The first c at or after from, or -1.
inline int next_char(const std::string& text, char c, int from) {
  if (from < 0 || static_cast<size_t>(from) >= text.size()) return -1;
  const size_t at = text.find(c, static_cast<size_t>(from));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

// The last c at or before from, or -1.
inline int previous_char(const std::string& text, char c, int from) {
  if (from < 0 || text.empty()) return -1;
  const size_t at = text.rfind(c, static_cast<size_t>(from));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

// text[from, to), or "" when either end is none or they are out of order.
inline std::string slice(const std::string& text, int from, int to) {
  if (from < 0 || to < from || static_cast<size_t>(to) > text.size()) return "";
  return text.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
}

// The text between an opening mark at `open` and a closing mark at `close`,
// both excluded.
inline std::string between(const std::string& text, int open, int close) {
  if (open < 0) return "";
  return slice(text, open + 1, close);
}

}  // namespace page_scan
