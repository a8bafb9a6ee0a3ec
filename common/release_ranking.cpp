#include "common/release_ranking.h"

#include <vector>

#include "common/dm_match.h"
#include "common/similarity.h"
#include "common/text.h"
#include "model/local_track.h"
#include "platform/trace.h"

std::string build_release_keywords(const std::string& folder_name,
                                   const std::vector<LocalTrack>& local_tracks) {
  std::string keywords = folder_name;
  for (const LocalTrack& track : local_tracks) {
    keywords += " " + track.artist + " " + track.title + " " + track.album + " " + track.label +
                " " + track.catalog_number + " " + track.track_number + " " + track.release_date +
                " " + track.genre + " " + track.style + " " + track.comment;
  }
  platform::trace("release keywords search list: %s\n", keywords.c_str());
  return keywords;
}

int32_t rank_releases(const std::string& keywords, const std::vector<ReleaseEntry>& entries) {
  // Title words are compared in lower case, so the keywords must be too, or
  // every capitalised tag and folder name would count for nothing.
  std::string lowered = keywords;
  to_lower(lowered);
  std::vector<int32_t> scores(entries.size(), 0);
  for (size_t i = 0; i < entries.size(); ++i) {
    scores[i] = word_overlap_score(lowered, entries[i].title);
    platform::trace("matches for %s:%d\n", entries[i].title.c_str(), scores[i]);
  }
  return best_index(scores);
}
