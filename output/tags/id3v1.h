#pragma once
// The 128-byte ID3v1 tag at the end of an MP3 file. Its texts are held in
// the system's code page, as the bytes of the tag are.
#include <string>

struct Id3v1Fields {
  std::string title, artist, album, year, comment;
  int track = 0;    // 1..255 makes it an ID3v1.1 tag; 0 for none
  int genre = 255;  // index into the ID3v1 genre list; 255 for none
};

// Reads the fields of an ID3v1 tag (the bytes begin with "TAG").
Id3v1Fields parse_id3v1(const std::string& tag);

// The 128 bytes of an ID3v1 tag; texts longer than their field are cut.
std::string render_id3v1(const Id3v1Fields& fields);
