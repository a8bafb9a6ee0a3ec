#include "platform/codepage.h"

#include <cstdint>

namespace platform {
namespace {

// Code points of the bytes 0x80..0x9F; 0 marks the five bytes that
// Windows-1252 leaves undefined.
const char32_t kHighControls[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

const unsigned char kCharEscape = 0x81;
const unsigned char kByteEscape = 0x8D;

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decodes one UTF-8 sequence at s[i]; returns its length, or 0 when the
// bytes there are not a valid, shortest-form sequence.
size_t decode_utf8(const std::string& s, size_t i, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  size_t len;
  char32_t min;
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  } else if ((b0 & 0xE0) == 0xC0) {
    len = 2, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

// The Windows-1252 byte for a code point, or -1 when the code page lacks it.
int cp1252_byte(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int k = 0; k < 32; ++k) {
    if (kHighControls[k] != 0 && kHighControls[k] == cp) return 0x80 + k;
  }
  return -1;
}

// Reads a character escape at s[i] (s[i] is 0x81); returns its length or 0.
size_t read_char_escape(const std::string& s, size_t i, char32_t& cp) {
  cp = 0;
  size_t k = i + 1;
  while (k < s.size() && k - i <= 6 && hex_value(s[k]) >= 0) {
    cp = cp * 16 + static_cast<char32_t>(hex_value(s[k]));
    ++k;
  }
  if (k == i + 1 || k >= s.size() || s[k] != ';' || cp > 0x10FFFF) return 0;
  return k + 1 - i;
}

}  // namespace

void append_utf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

size_t utf8_sequence_length(const std::string& text, size_t at) {
  char32_t code_point;
  return decode_utf8(text, at, code_point);
}

bool is_bidi_control(char32_t cp) {
  return cp == 0x061C || cp == 0x200E || cp == 0x200F || (cp >= 0x202A && cp <= 0x202E) ||
         (cp >= 0x2066 && cp <= 0x2069);
}

size_t foreign_character_escape(const std::string& text, size_t at) {
  if (at >= text.size() || static_cast<unsigned char>(text[at]) != kCharEscape) return 0;
  char32_t cp = 0;
  const size_t length = read_char_escape(text, at, cp);
  const bool foreign =
      cp > 0x9F && cp1252_byte(cp) < 0 && (cp < 0xD800 || cp > 0xDFFF) && !is_bidi_control(cp);
  return length != 0 && foreign ? length : 0;
}

size_t control_character_escape(const std::string& text, size_t at) {
  if (at >= text.size() || static_cast<unsigned char>(text[at]) != kCharEscape) return 0;
  char32_t cp = 0;
  const size_t length = read_char_escape(text, at, cp);
  const bool control = cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || is_bidi_control(cp);
  return length != 0 && control ? length : 0;
}

std::string to_utf8(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
      continue;
    }
    if (b == kCharEscape) {
      char32_t cp;
      if (size_t len = read_char_escape(text, i, cp)) {
        append_utf8(out, cp);
        i += len - 1;
        continue;
      }
    }
    if (b == kByteEscape && i + 2 < text.size() && hex_value(text[i + 1]) >= 0 &&
        hex_value(text[i + 2]) >= 0) {
      out += static_cast<char>(hex_value(text[i + 1]) * 16 + hex_value(text[i + 2]));
      i += 2;
      continue;
    }
    if (b >= 0xA0) {
      append_utf8(out, b);
    } else if (kHighControls[b - 0x80] != 0) {
      append_utf8(out, kHighControls[b - 0x80]);
    } else {
      append_utf8(out, 0xFFFD);
    }
  }
  return out;
}

std::string name_from_fs(const std::string& fs_name) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(fs_name.size());
  for (size_t i = 0; i < fs_name.size();) {
    char32_t cp;
    const size_t len = decode_utf8(fs_name, i, cp);
    if (len == 0) {
      const auto b = static_cast<unsigned char>(fs_name[i]);
      out += static_cast<char>(kByteEscape);
      out += kHex[b >> 4];
      out += kHex[b & 0xF];
      ++i;
      continue;
    }
    const int byte = cp1252_byte(cp);
    if (byte >= 0) {
      out += static_cast<char>(byte);
    } else {
      std::string hex;
      for (char32_t v = cp; v != 0; v >>= 4) hex.insert(hex.begin(), kHex[v & 0xF]);
      out += static_cast<char>(kCharEscape);
      out += hex;
      out += ';';
    }
    i += len;
  }
  return out;
}

std::string text_from_utf8(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t cp;
    const size_t len = decode_utf8(utf8, i, cp);
    if (len == 0) {
      out += '?';
      ++i;
      continue;
    }
    const int byte = cp1252_byte(cp);
    out += byte >= 0 ? static_cast<char>(byte) : '?';
    i += len;
  }
  return out;
}

std::string fs_name(const std::string& name) { return to_utf8(name); }

}  // namespace platform
