#include "web/api/api_address.h"

namespace {

bool starts_with(const std::string& text, size_t at, const std::string& prefix) {
  return text.compare(at, prefix.size(), prefix) == 0;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool parse_database_address(const std::string& text, DatabaseAddress& address) {
  size_t at = 0;
  if (starts_with(text, 0, "http://")) {
    at = 7;
  } else if (starts_with(text, 0, "https://")) {
    at = 8;
  } else {
    return false;
  }
  if (starts_with(text, at, "www.")) at += 4;
  if (!starts_with(text, at, "discogs.com/")) return false;
  at += 12;
  for (const char* kind : {"release/", "master/", "artist/", "label/"}) {
    if (!starts_with(text, at, kind)) continue;
    const size_t digits = at + std::string(kind).size();
    size_t end = digits;
    while (end < text.size() && is_digit(text[end])) ++end;
    const bool slug_or_end = end == text.size() || text[end] == '-';
    if (end == digits || end - digits > 18 || !slug_or_end) return false;
    address.kind = std::string(kind, std::string(kind).size() - 1);
    address.id = text.substr(digits, end - digits);
    return true;
  }
  return false;
}
