#include "output/tags/taglib_text.h"

#include "platform/codepage.h"

namespace {

bool is_high_surrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Calls visit with each character's code point; U+FFFD for a lone half of
// a surrogate pair.
template <typename Visit>
void for_each_code_point(const TagLib::String& text, Visit visit) {
  const std::wstring wide = text.toWString();
  for (size_t i = 0; i < wide.size(); ++i) {
    const auto c = static_cast<char32_t>(wide[i]);
    if (is_high_surrogate(c) && i + 1 < wide.size() && is_low_surrogate(wide[i + 1])) {
      visit(0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(wide[i + 1]) - 0xDC00));
      ++i;
    } else {
      visit(is_high_surrogate(c) || is_low_surrogate(c) ? char32_t{0xFFFD} : c);
    }
  }
}

std::string utf8_of(char32_t code_point) {
  std::string utf8;
  platform::append_utf8(utf8, code_point);
  return utf8;
}

}  // namespace

std::string code_page_text(const TagLib::String& text) {
  std::string out;
  for_each_code_point(text, [&out](char32_t c) {
    out += c < 0x100 ? std::string(1, static_cast<char>(c)) : platform::text_from_utf8(utf8_of(c));
  });
  return out;
}

std::string program_text(const TagLib::String& text) {
  std::string out;
  for_each_code_point(text, [&out](char32_t c) {
    out += c < 0x100 ? std::string(1, static_cast<char>(c)) : platform::name_from_fs(utf8_of(c));
  });
  return out;
}

TagLib::String unicode_text(const std::string& cp1252) {
  return TagLib::String(platform::to_utf8(cp1252), TagLib::String::UTF8);
}
