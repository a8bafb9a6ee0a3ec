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
// (letter case aside), or -1 when the list is empty. Equal best scores are
// settled by preferred_release.
int32_t rank_releases(const std::string& keywords, const std::vector<ReleaseEntry>& entries);
// Among the entries with the highest score (scores parallel to entries):
// the one whose year is a word of the keywords, then the one whose title has
// the fewest words the keywords lack, then the first. Words are runs of
// letters and digits, compared without regard to letter case. -1 when there
// is no entry.
int32_t preferred_release(const std::vector<int32_t>& scores,
                          const std::vector<ReleaseEntry>& entries, const std::string& keywords);
