#pragma once
// Records read from the web database's pages. Texts are Windows-1252.
#include <string>
#include <vector>

// One release row of an artist or label page, copied without entity decoding.
struct ReleaseEntry {
  std::string artist;  // label pages: the row's artist
  std::string title;
  std::string label;  // artist pages: the row's label
  std::string format;
  std::string year;  // the API's release year; "" where the list gives none
};

// One release as its page describes it. The three track lists are parallel:
// entry i of each is track i.
struct Release {
  std::string artist;
  std::string title;
  std::string label;
  std::string catalog_number;
  std::string release_date;
  std::string genre;
  std::string style;
  std::vector<std::string> track_artists;
  std::vector<std::string> track_names;
  std::vector<std::string> track_numbers;
  std::string picture_url;
};
