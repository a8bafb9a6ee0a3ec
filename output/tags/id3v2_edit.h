#pragma once
// The ID3v2 side of tag writing: the file's tag is read from its bytes with
// TagLib, the program's frames replace theirs, and ID3v2.3 frames come out.
#include <string>

#include "output/tags/id3v1.h"

// What is written into one file; texts in the code page. An empty text or
// an empty picture writes nothing and removes nothing.
struct TagValues {
  std::string artist;        // replaces TPE1, TPE2, TPE3 and TCOM
  std::string album;         // TALB
  std::string year;          // TYER (and replaces a TDRC)
  std::string content_type;  // TCON
  std::string title;         // TIT2
  std::string track;         // TRCK
  std::string picture;       // the JPEG bytes of the cover: replaces every APIC
};

struct EditedTags {
  std::string v2_frames;  // the ID3v2.3 frames, without tag header and padding
  Id3v1Fields v1;         // the ID3v1 fields built from the same frames
};

// Edits the old ID3v2 tag (its bytes from the header on; empty when the
// file has none). Fields that the old ID3v2 tag lacks are first taken from
// the old ID3v1 tag (null when there is none). Every frame not written is
// kept. False when TagLib gives no usable result.
bool edit_id3v2(const std::string& old_tag, const Id3v1Fields* old_v1, const TagValues& values,
                EditedTags& edited);

// A whole ID3v2.3 tag of `size` bytes: header, frames and zero padding.
// `size` must be at least the frames' size plus the 10-byte header.
std::string id3v2_3_tag(const std::string& frames, size_t size);
