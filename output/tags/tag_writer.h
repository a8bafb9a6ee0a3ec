#pragma once
#include <string>

#include "model/release.h"
#include "output/tags/id3_layout.h"
#include "platform/files/staged_rewrites.h"

// The tags of an MP3 file as they lie in it.
struct FileTags {
  Id3Layout layout;
  std::string v2;  // the whole ID3v2 tag with its padding, or empty
  std::string v1;  // the 128 bytes of the ID3v1 tag, or empty
};

// False when the file cannot be read as an MP3 file.
bool read_file_tags(const std::string& file_name, FileTags& tags);

// How one file's tag write went.
struct TagWrite {
  std::string failure;  // why the file was left as it was; empty when written
  bool staged = false;  // the new file waits in the batch, as number `index`
  size_t index = 0;
};

// Writes the release's tags for one track, with the picture's bytes (none
// when empty), into a file as part of a batch: in place when the new tag
// fits the old one's room, else staged beside the file. The audio bytes and
// every frame not written are kept; when the file is staged, `audio_reader`
// sees the audio bytes as they are copied.
TagWrite write_tags(const std::string& file_name, const Release& release, int track,
                    const std::string& picture, platform::StagedRewrites& batch,
                    const platform::FilePiece::Reader& audio_reader = nullptr);

// The same for one file alone, with the picture of the release's cover file
// in the folder, flushed and in place when it returns.
// Returns why the file was left as it was, or an empty text.
std::string write_tags(const std::string& file_name, const Release& release, int track);
