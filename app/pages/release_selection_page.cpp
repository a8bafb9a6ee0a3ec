// The third page: every release of the chosen artist or label, the one that
// best fits the local files preselected.
#include "app/error_box.h"
#include "app/lookup/database.h"
#include "app/lookup/match_release.h"
#include "app/lookup/search.h"
#include "app/pages/pages.h"
#include "app/pages/pick_page.h"
#include "common/dm_match.h"
#include "common/release_ranking.h"
#include "model/run_state.h"
#include "platform/dialogs/dialog.h"
#include "platform/trace.h"
#include "resources/dialog_templates.h"

namespace {

void open_release_selection_page(platform::Window& dialog) {
  dialog.set_text("Select release");
  std::vector<std::string> lines;
  int longest = -1;
  for (const ReleaseEntry& entry : g_collection) {
    lines.push_back(release_line(entry, g_label));
    const int length = static_cast<int>(lines.back().size());
    platform::trace("len:%d\n", length);
    if (length > longest) longest = length;
  }
  platform::trace("max:%d\n", longest);
  dialog.set_horizontal_extent(kIdResultList, longest * 5 + 10);
  for (const std::string& line : lines) dialog.add_line(kIdResultList, line);
  const std::string keywords = build_release_keywords(g_run.folder_name, g_run.local_tracks);
  dialog.set_selection(kIdResultList, rank_releases(keywords, g_collection));
}

// Reads the release and matches the local files to it. A failed lookup
// tells the user, and the page stays for another try or another release;
// false then.
bool read_chosen_release(platform::Window& dialog, int line) {
  if (line >= static_cast<int>(g_rurl.size())) return true;
  for (;;) {
    Lookup<Release> release = database().read_release(g_rurl[static_cast<size_t>(line)]);
    if (release.ok()) {
      lookup_succeeded();
      match_release(release.value);
      return true;
    }
    if (!tell_lookup_failure(&dialog, release.failure, kNoTracks)) return false;
  }
}

void take_release(platform::Window& dialog) {
  const int selected = dialog.selection(kIdResultList);
  if (selected < 0) {
    error_box("Please select a search result from the list", &dialog);
    return;
  }
  if (!read_chosen_release(dialog, selected)) {
    // A stopped wait cancels the page; else it stays.
    if (g_cancelled) dialog.end(0);
    return;
  }
  // A fixed marker in the trace, so that the logs of two runs line up here.
  platform::trace("%s::%d", "main", 519);
  platform::trace("DONE!\n");
  dialog.end(0);
}

}  // namespace

std::string release_line(const ReleaseEntry& entry, bool label_page) {
  return entry.title + "[" + entry.format + ", " + (label_page ? entry.artist : entry.label) + "]";
}

bool release_selection_dialog(platform::Window& dialog, unsigned message, uintptr_t wparam,
                              intptr_t lparam) {
  static const PickPage kPage = {open_release_selection_page, take_release, nullptr, "#refine"};
  return pick_page_message(kPage, dialog, message, wparam, lparam);
}

PageExit show_release_selection_page(PageChoice& choice) {
  return run_pick_page(kDialogResultSelection, release_selection_dialog, choice);
}
