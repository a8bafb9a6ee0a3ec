// The third page: every release of the chosen artist or label, the one that
// best fits the local files preselected.
#include <memory>

#include "app/api_lookup.h"
#include "app/error_box.h"
#include "app/match_release.h"
#include "app/pages.h"
#include "app/pick_page.h"
#include "common/dm_match.h"
#include "common/release_ranking.h"
#include "model/run_state.h"
#include "platform/dialog.h"
#include "platform/trace.h"
#include "resources/templates.h"
#include "web/hosts.h"
#include "web/http_client.h"
#include "web/release_page.h"

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
  const std::string keywords = build_release_keywords();
  dialog.set_selection(kIdResultList, rank_releases(keywords));
}

// Fetches the release page and matches the local files to it. A failed
// request reads nothing; the driver then tells the user.
void read_chosen_release(int line) {
  if (line >= static_cast<int>(g_rurl.size())) return;
  if (api_in_use()) return api_read_release(nullptr, g_rurl[static_cast<size_t>(line)]);
  const std::string address = std::string(kDatabaseBase) + g_rurl[static_cast<size_t>(line)];
  platform::trace("requesting %s\n", address.c_str());
  // The client holds two large buffers; keep them off the stack.
  auto client = std::make_unique<HttpClient>();
  if (!client->Request(address, HttpClient::kMethodGet, kUserAgent)) return;
  Release release;
  read_release_page(client->Body(), release);
  match_release(release);
}

void take_release(platform::Window& dialog) {
  const int selected = dialog.selection(kIdResultList);
  if (selected < 0) {
    error_box("Please select a search result from the list", &dialog);
    return;
  }
  read_chosen_release(selected);
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
