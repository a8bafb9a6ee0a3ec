#include "app/match_release.h"

#include "common/dm_match.h"
#include "platform/front_end.h"

void match_release(Release& release) {
  // A compilation's "Various" has no suffix, but its track artists may.
  const std::string numbered = first_numbered_artist(release);
  if (!numbered.empty()) {
    const int answer =
        platform::message_box(nullptr, "Remove brackets after artist name for " + numbered + "?",
                              "Rename artist?", platform::kBoxYesNo);
    if (answer == platform::kAnswerYes) strip_artist_suffixes(release);
  }
  find_matches(release);
}
