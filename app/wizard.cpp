#include "app/wizard.h"

#include "app/error_box.h"
#include "app/pages.h"
#include "app/search.h"
#include "common/dm_match.h"
#include "common/text.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "output/templates.h"
#include "platform/trace.h"

namespace {

const char kNoTracks[] =
    "Could not find any tracks on your selected release. (The web search database may be "
    "offline)";

// True when the search ended on a release page itself, not a list of them.
bool term_was_release_address() { return g_direct_page && !g_label && !g_has_releases; }

// What each file would be called; nothing is touched here.
void trace_new_names() {
  const std::vector<int32_t>& track_of_file = g_run.assignment.track_of_file;
  for (size_t i = 0; i < g_run.files.size(); ++i) {
    const int track = i < track_of_file.size() ? track_of_file[i] : -1;
    std::string name = track_file_name(chosen_release(), track, g_tf);
    safe_file_name(name);
    name += ".mp3";
    platform::trace("rename %s to %s\n", g_run.files[i].c_str(), name.c_str());
  }
}

}  // namespace

void run_wizard() {
  show_search_term_page();
  if (g_cancelled) return;

  search_database(nullptr, g_search_term);
  if (g_cancelled) return;

  // A release reached straight away has been read and matched.
  if (!term_was_release_address()) {
    show_release_selection_page();
    if (g_cancelled) return;
  }

  const Release* release = chosen_release();
  if (release == nullptr) {
    error_box(kNoTracks);
    return;
  }
  platform::trace("%s::%d\n", "main", 1067);
  trace_new_names();

  platform::trace("%s::%d\n", "main", 1077);
  if (release->track_names.empty()) {
    error_box(kNoTracks);
    return;
  }
  show_match_confirmation_page();
}
