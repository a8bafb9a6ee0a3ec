#include "app/match_release.h"

#include "common/dm_match.h"
#include "platform/front_end.h"

void match_release(Release& release) {
  if (has_numbered_suffix(release.artist)) {
    const int answer = platform::message_box(
        nullptr, "Remove brackets after artist name for " + release.artist + "?", "Rename artist?",
        platform::kBoxYesNo);
    if (answer == platform::kAnswerYes) strip_artist_suffixes(release);
  }
  find_matches(release);
}
