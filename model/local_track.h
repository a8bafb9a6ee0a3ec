#pragma once
#include <string>

// The tags one local file already carries, in Windows-1252. Only artist,
// title, album, track_number and release_date are ever read from a file.
struct LocalTrack {
  std::string artist;
  std::string title;
  std::string album;
  std::string label;
  std::string catalog_number;
  std::string track_number;
  std::string release_date;
  std::string genre;
  std::string style;
  std::string comment;
};
