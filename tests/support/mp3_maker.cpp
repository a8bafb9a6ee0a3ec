#include "tests/support/mp3_maker.h"

#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace test_support {
namespace {

// MPEG-1 Layer III, no CRC, 128 kbit/s, 44100 Hz, no padding, joint stereo.
const unsigned char kFrameHeader[4] = {0xFF, 0xFB, 0x90, 0x40};
const size_t kFrameSize = 417;    // 144 * 128000 / 44100
const size_t kSideInfoSize = 32;  // stereo; all zero means silence

std::u32string decode_utf8(const std::string& s) {
  std::u32string out;
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : 3;
    char32_t cp = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    for (int k = 1; k <= extra && i + static_cast<size_t>(k) < s.size(); ++k) {
      cp = (cp << 6) | (static_cast<unsigned char>(s[i + static_cast<size_t>(k)]) & 0x3F);
    }
    out += cp;
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

void append_utf16(std::string& out, const std::u32string& text, bool big_endian) {
  auto unit = [&](uint16_t u) {
    if (big_endian) {
      out += static_cast<char>(u >> 8);
      out += static_cast<char>(u & 0xFF);
    } else {
      out += static_cast<char>(u & 0xFF);
      out += static_cast<char>(u >> 8);
    }
  };
  for (char32_t cp : text) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      unit(static_cast<uint16_t>(0xD800 + (cp >> 10)));
      unit(static_cast<uint16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      unit(static_cast<uint16_t>(cp));
    }
  }
}

std::string encode_text(const std::string& utf8, TextEncoding encoding) {
  std::string out;
  switch (encoding) {
    case TextEncoding::kLatin1:
      for (char32_t cp : decode_utf8(utf8)) out += static_cast<char>(cp < 0x100 ? cp : '?');
      break;
    case TextEncoding::kUtf16:
      out += "\xFF\xFE";
      append_utf16(out, decode_utf8(utf8), false);
      break;
    case TextEncoding::kUtf16BE:
      append_utf16(out, decode_utf8(utf8), true);
      break;
    case TextEncoding::kUtf8:
      out = utf8;
      break;
  }
  return out;
}

std::string big_endian(uint32_t v, int bytes) {
  std::string out;
  for (int k = bytes - 1; k >= 0; --k) out += static_cast<char>((v >> (8 * k)) & 0xFF);
  return out;
}

std::string syncsafe(uint32_t v) {
  std::string out;
  for (int k = 3; k >= 0; --k) out += static_cast<char>((v >> (7 * k)) & 0x7F);
  return out;
}

std::string compress(const std::string& data) {
  uLongf size = compressBound(data.size());
  std::string out(size, '\0');
  if (::compress(reinterpret_cast<Bytef*>(&out[0]), &size,
                 reinterpret_cast<const Bytef*>(data.data()), data.size()) != Z_OK) {
    throw std::runtime_error("zlib failed");
  }
  out.resize(size);
  return out;
}

std::string frame_bytes(const Id3Frame& frame, int version) {
  if (version == 2)
    return frame.id.substr(0, 3) + big_endian(frame.payload.size(), 3) + frame.payload;
  std::string data = frame.payload;
  uint16_t flags = 0;
  if (frame.compressed) {
    // ID3v2.3: compression flag 0x0080 and the size before compression in
    // front of the data. ID3v2.4: compression 0x0008 needs the data length
    // indicator 0x0001, which holds that size as a syncsafe number.
    if (version == 3) {
      data = big_endian(static_cast<uint32_t>(frame.payload.size()), 4) + compress(frame.payload);
      flags = 0x0080;
    } else {
      data = syncsafe(static_cast<uint32_t>(frame.payload.size())) + compress(frame.payload);
      flags = 0x0009;
    }
  }
  const auto size = static_cast<uint32_t>(data.size());
  return frame.id + (version == 4 ? syncsafe(size) : big_endian(size, 4)) + big_endian(flags, 2) +
         data;
}

std::string fixed(const std::string& text, size_t width) {
  std::string out = text.substr(0, width);
  out.resize(width, '\0');
  return out;
}

std::string id3v1_bytes(const Id3v1& tag) {
  std::string out = "TAG" + fixed(tag.title, 30) + fixed(tag.artist, 30) + fixed(tag.album, 30) +
                    fixed(tag.year, 4);
  if (tag.track > 0) {
    out += fixed(tag.comment, 28) + '\0' + static_cast<char>(tag.track);
  } else {
    out += fixed(tag.comment, 30);
  }
  out += static_cast<char>(tag.genre);
  return out;
}

std::string audio(size_t bytes, unsigned seed) {
  std::string out;
  out.reserve(bytes + kFrameSize);
  uint32_t state = seed * 2654435761u + 12345u;
  while (out.size() < bytes) {
    std::string frame(kFrameSize, '\0');
    for (int k = 0; k < 4; ++k) frame[static_cast<size_t>(k)] = static_cast<char>(kFrameHeader[k]);
    // With part2_3_length 0 in the side info every main-data byte is
    // ancillary, so varying them keeps the frame valid silence.
    for (size_t k = 4 + kSideInfoSize; k < kFrameSize; ++k) {
      state = state * 1103515245u + 12345u;
      frame[k] = static_cast<char>((state >> 16) & 0xFF);
    }
    out += frame;
  }
  return out;
}

}  // namespace

Id3Frame text_frame(const std::string& id, const std::string& utf8, TextEncoding encoding) {
  return {id, std::string(1, static_cast<char>(encoding)) + encode_text(utf8, encoding), false};
}

Id3Frame user_text_frame(const std::string& description, const std::string& value) {
  return {"TXXX", std::string(1, '\0') + description + '\0' + value, false};
}

Id3Frame comment_frame(const std::string& text) {
  return {"COMM", std::string(1, '\0') + "eng" + '\0' + text, false};
}

Id3Frame picture_frame(const std::string& mime, const std::string& data) {
  return {"APIC", std::string(1, '\0') + mime + '\0' + '\x03' + '\0' + data, false};
}

std::string make_mp3(const Mp3Recipe& recipe) {
  std::string out;
  if (recipe.id3v2_version != 0) {
    std::string body;
    for (const Id3Frame& frame : recipe.frames) body += frame_bytes(frame, recipe.id3v2_version);
    body.append(recipe.padding, '\0');
    out += "ID3";
    out += static_cast<char>(recipe.id3v2_version);
    out += '\0';
    out += '\0';  // flags
    out += syncsafe(static_cast<uint32_t>(body.size()));
    out += body;
  }
  out += audio(recipe.audio_bytes, recipe.seed);
  if (recipe.with_id3v1) out += id3v1_bytes(recipe.id3v1);
  return out;
}

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) throw std::runtime_error("cannot write " + path);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string read_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

void write_mp3(const std::string& path, const Mp3Recipe& recipe) {
  write_file(path, make_mp3(recipe));
}

std::string audio_bytes(const std::string& file) {
  size_t begin = 0;
  if (file.size() >= 10 && file.compare(0, 3, "ID3") == 0) {
    uint32_t size = 0;
    for (int k = 6; k < 10; ++k)
      size = (size << 7) | (static_cast<unsigned char>(file[static_cast<size_t>(k)]) & 0x7F);
    const bool footer = (static_cast<unsigned char>(file[5]) & 0x10) != 0;
    begin = 10 + size + (footer ? 10 : 0);
  }
  // Some writers leave zero padding after the tag's declared end; it is
  // not audio either.
  while (begin < file.size() && file[begin] == '\0') ++begin;
  size_t end = file.size();
  if (end >= begin + 128 && file.compare(end - 128, 3, "TAG") == 0) end -= 128;
  return begin <= end ? file.substr(begin, end - begin) : std::string();
}

}  // namespace test_support
