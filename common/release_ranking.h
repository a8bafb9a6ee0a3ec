#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/local_track.h"
#include "model/release.h"

// The folder name and every local tag, as one text, case kept.
std::string build_release_keywords(const std::string& folder_name,
                                   const std::vector<LocalTrack>& local_tracks);
// Index into the entries of the release whose title best fits the keywords
// (letter case aside), or -1 when the list is empty.
int32_t rank_releases(const std::string& keywords, const std::vector<ReleaseEntry>& entries);
