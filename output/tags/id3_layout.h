#pragma once
// Where the tags of an MP3 file lie: an ID3v2 tag at the start, an ID3v1
// tag in the last 128 bytes. Everything between them is audio (or other
// data) that tag writing never touches.
#include <cstdint>
#include <string>

constexpr uint64_t kId3v1Size = 128;

struct Id3Layout {
  uint64_t file_size = 0;
  uint64_t v2_size = 0;  // the whole ID3v2 tag with its padding and footer; 0 without one
  bool has_v1 = false;

  uint64_t audio_begin() const { return v2_size; }
  uint64_t audio_end() const { return file_size - (has_v1 ? kId3v1Size : 0); }
};

// The size of the ID3v2 tag whose 10-byte header starts the text: 0 when it
// does not start with one, -1 when it starts with a header that cannot be
// trusted (a version this program does not know, a broken size).
int64_t id3v2_tag_size(const std::string& head);

// True when the bytes are an ID3v1 tag.
bool is_id3v1(const std::string& last_128);

// Fills the layout; false when the file's tags cannot be placed safely.
bool find_id3_layout(uint64_t file_size, const std::string& head, const std::string& last_128,
                     Id3Layout& layout);
