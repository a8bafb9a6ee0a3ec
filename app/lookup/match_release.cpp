#include "app/lookup/match_release.h"

#include "common/dm_match.h"
#include "model/run_state.h"
#include "platform/dialogs/front_end.h"

void match_release(Release& release) {
  // A compilation's "Various" has no suffix, but its track artists may.
  const std::string numbered = first_numbered_artist(release);
  if (!numbered.empty()) {
    const int answer =
        platform::message_box(nullptr, "Remove brackets after artist name for " + numbered + "?",
                              "Rename artist?", platform::kBoxYesNo);
    if (answer == platform::kAnswerYes) strip_artist_suffixes(release);
  }
  // One release is read per run, so it is the first and only one stored.
  g_releases.push_back(release);
  g_run.release_index = static_cast<int32_t>(g_releases.size() - 1);
  g_run.assignment = match_files({g_run.files, g_run.local_tracks}, release);
}
