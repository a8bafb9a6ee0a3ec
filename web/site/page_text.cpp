#include "web/site/page_text.h"

#include "platform/codepage.h"

void decode_entities(std::string& text) {
  size_t p = 0;
  for (;;) {
    const size_t amp = text.find('&', p);
    if (amp == std::string::npos) return;
    const size_t semicolon = text.find(';', amp);
    // No ';' close behind: a plain '&' of the text, not an entity.
    if (semicolon == std::string::npos || semicolon - amp >= 8) {
      p = amp + 1;
      continue;
    }
    const std::string name = text.substr(amp + 1, semicolon - amp - 1);
    if (name.find("amp") != std::string::npos) {
      text.replace(amp, semicolon - amp + 1, "&");
      p = amp + 1;  // the '&' put back is not read again
    } else {
      text.erase(amp, semicolon - amp + 1);
      p = amp;
    }
  }
}

void utf8_to_latin1(const char* src, size_t length, std::string& dst) {
  dst.clear();
  size_t i = 0;
  while (i < length) {
    const auto byte = static_cast<unsigned char>(src[i]);
    if (byte < 0x7F) {
      dst += static_cast<char>(byte);
      ++i;
      continue;
    }
    const bool has_next = i + 1 < length;
    const auto next = has_next ? static_cast<unsigned char>(src[i + 1]) : 0;
    const bool continuation = has_next && next >= 0x80 && next <= 0xBF;
    if (byte == 0xC3 && continuation) {
      dst += static_cast<char>(next + 0x40);  // the Latin-1 letters 0xC0 to 0xFF
      i += 2;
      continue;
    }
    // Any other character is dropped whole: its lead byte and the
    // continuation bytes that belong to it, never the character after it.
    size_t expected = 0;
    if (byte >= 0xC0 && byte <= 0xDF) expected = 1;
    if (byte >= 0xE0 && byte <= 0xEF) expected = 2;
    if (byte >= 0xF0 && byte <= 0xF7) expected = 3;
    ++i;
    while (expected > 0 && i < length && (static_cast<unsigned char>(src[i]) & 0xC0) == 0x80) {
      ++i;
      --expected;
    }
  }
}

void slash_to_and(std::string& text) {
  std::string replaced;
  replaced.reserve(text.size());
  for (const char c : text) {
    if (c == '/') {
      replaced += "and";
    } else {
      replaced += c;
    }
  }
  text.swap(replaced);
}

std::string page_text_in_code_page(const std::string& page_text) {
  for (size_t i = 0; i < page_text.size();) {
    if (static_cast<unsigned char>(page_text[i]) < 0x80) {
      ++i;
    } else if (const size_t length = platform::utf8_sequence_length(page_text, i)) {
      i += length;
    } else {
      return page_text;
    }
  }
  return platform::text_from_utf8(page_text);
}
