#pragma once
// Makes real MP3 files for the tests: valid MPEG-1 Layer III frames of
// silence (distinct per seed) with or without ID3v2.2/2.3/2.4 and ID3v1 tags,
// so that no test needs a file checked into the repository.
#include <cstddef>
#include <string>
#include <vector>

namespace test_support {

enum class TextEncoding { kLatin1 = 0, kUtf16 = 1, kUtf16BE = 2, kUtf8 = 3 };

struct Id3Frame {
  std::string id;           // "TPE1", or a three-letter id for ID3v2.2
  std::string payload;      // frame data as stored (after decompression)
  bool compressed = false;  // zlib-compressed (ID3v2.3 / 2.4 only)
};

// A text frame: the encoding byte and the UTF-8 text converted to it.
Id3Frame text_frame(const std::string& id, const std::string& utf8, TextEncoding encoding);
// A user text frame (TXXX) with a description.
Id3Frame user_text_frame(const std::string& description, const std::string& value);
// A comment frame (COMM), language "eng", Latin-1.
Id3Frame comment_frame(const std::string& text);
// An attached picture (APIC), front cover, the given MIME type and bytes.
Id3Frame picture_frame(const std::string& mime, const std::string& data);

struct Id3v1 {
  std::string title, artist, album, year, comment;
  int track = 0;  // 0: plain ID3v1.0, else ID3v1.1 with the track byte
  int genre = 255;
};

struct Mp3Recipe {
  int id3v2_version = 0;  // 0 for none, else 2, 3 or 4
  std::vector<Id3Frame> frames;
  size_t padding = 0;  // zero bytes after the frames, inside the tag
  bool with_id3v1 = false;
  Id3v1 id3v1;
  size_t audio_bytes = 48000;  // about three seconds at 128 kbit/s
  unsigned seed = 1;           // makes the audio of each file distinct
};

std::string make_mp3(const Mp3Recipe& recipe);
void write_file(const std::string& path, const std::string& bytes);
std::string read_file(const std::string& path);
void write_mp3(const std::string& path, const Mp3Recipe& recipe);

// The audio part of an MP3 file: without the ID3v2 tag in front and the
// ID3v1 tag at the end. Tag writing must leave it byte for byte.
std::string audio_bytes(const std::string& file_bytes);

}  // namespace test_support
