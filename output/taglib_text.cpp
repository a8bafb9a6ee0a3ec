#include "output/taglib_text.h"

#include "platform/codepage.h"

namespace {

bool is_high_surrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::string code_page_text(const TagLib::String& text) {
  const std::wstring wide = text.toWString();
  std::string out;
  for (size_t i = 0; i < wide.size(); ++i) {
    const wchar_t c = wide[i];
    if (c < 0x100) {
      out += static_cast<char>(c);
    } else if (is_high_surrogate(c) && i + 1 < wide.size() && is_low_surrogate(wide[i + 1])) {
      out += '?';
      ++i;
    } else {
      out += platform::text_from_utf8(TagLib::String(std::wstring(1, c)).to8Bit(true));
    }
  }
  return out;
}

TagLib::String unicode_text(const std::string& cp1252) {
  return TagLib::String(platform::to_utf8(cp1252), TagLib::String::UTF8);
}
