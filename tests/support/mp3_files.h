#pragma once
// Real MP3 files for the tests, made by tools/make_mp3.py (mutagen writes the
// tags), every file of a test in one go; and the files' contents.
#include <string>
#include <utility>
#include <vector>

namespace test_support {

// A file to make: its path and the fields tools/make_mp3.py takes, e.g.
// {"seed=2", "v2=4", "enc=3", "TIT2=Title", "v1=Title|Artist"}.
struct Mp3 {
  std::string path;
  std::vector<std::string> fields;
};
void make_mp3s(const std::vector<Mp3>& files);

// An MP3 file without tags: a second of silent frames, distinct per seed.
std::string untagged_mp3(unsigned seed);

// An ID3v2.3 tag of these frames (id, data as stored), built byte by byte
// for what mutagen would not write.
std::string raw_id3v23(const std::vector<std::pair<std::string, std::string>>& frames);

// Creates PARENT/"Harbour_Lights - Night Ferry [HL_007] - (2005)" with the
// demo album's twelve files (tools/make_demo_album.py) and returns its path.
std::string make_demo_album(const std::string& parent);

void write_file(const std::string& path, const std::string& bytes);
std::string read_file(const std::string& path);

// The audio part of an MP3 file: without the ID3v2 tag in front and the
// ID3v1 tag at the end. Tag writing must leave it byte for byte.
std::string audio_bytes(const std::string& file_bytes);

}  // namespace test_support
