#include "app/search.h"

#include "app/database.h"
#include "app/error_box.h"
#include "app/match_release.h"
#include "app/pages.h"
#include "model/run_state.h"
#include "platform/trace.h"
#include "web/hosts.h"

namespace {

void take_discography(const Discography& list) {
  g_rurl = list.links;
  g_collection = list.entries;
}

// The hit the search-result page left in g_result_url; nullptr for none.
const SearchHit* chosen_hit(const std::vector<SearchHit>& hits) {
  for (const SearchHit& hit : hits) {
    if (g_result_url == kDatabaseBase + hit.link) return &hit;
  }
  return nullptr;
}

// What the user chose on the search-result page, loaded; or why not.
void choose_search_result(platform::Window* owner, const std::vector<SearchHit>& hits) {
  g_rurl.clear();
  for (const SearchHit& hit : hits) g_rurl.push_back(hit.link);
  if (g_rurl.empty()) {
    error_box("Could not find any matches for your search terms.", owner);
    g_cancelled = true;
    return;
  }
  show_search_result_page();
  if (g_cancelled) return;
  const SearchHit* chosen = chosen_hit(hits);
  if (chosen == nullptr) {
    error_box("No search result was selected.", owner);
    return;
  }
  g_direct_page = false;
  SearchHit hit = *chosen;
  hit.label = g_label;  // as the search-result page read the link
  const Lookup<Discography> list = database().list_releases(hit);
  if (!list.ok()) return tell_lookup_failure(owner, list.failure);
  take_discography(list.value);
}

// The term led straight to an artist's or a label's releases, or to a
// release, which is matched at once.
void take_found_directly(const Found& found) {
  g_direct_page = true;
  g_label = found.kind == Found::kLabel;
  g_has_releases = found.kind == Found::kArtist;
  if (found.kind != Found::kRelease) return take_discography(found.discography);
  Release release = found.release;
  match_release(release);
}

}  // namespace

void search_database(platform::Window* owner, std::string term) {
  platform::trace("searchterm: %s\n", term.c_str());
  DatabaseSource& source = database();
  const Lookup<Found> found =
      source.is_address(term) ? source.resolve_address(term) : source.search(term);
  if (!found.ok()) return tell_lookup_failure(owner, found.failure);
  if (found.value.kind == Found::kHits) return choose_search_result(owner, found.value.hits);
  take_found_directly(found.value);
}
