#pragma once
#include <cstdint>
#include <vector>

// Which track of the chosen release each local file is, and how alike each
// file is to every track. Row f of scores belongs to file f; -1 in a row
// marks a track the file lost to another file.
struct TrackAssignment {
  std::vector<int32_t> track_of_file;
  std::vector<std::vector<int32_t>> scores;
};
