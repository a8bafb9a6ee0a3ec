#include "app/lookup/search.h"

#include "app/error_box.h"
#include "app/lookup/database.h"
#include "app/lookup/match_release.h"
#include "app/pages/pages.h"
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

std::string release_link(const ReleaseHit& hit) { return "/release/" + hit.id; }

// A search that brought no answer has always been told so in these words.
std::string said_for_search(const LookupError& failure) {
  switch (failure.kind) {
    case LookupFailure::kNoConnection:
    case LookupFailure::kTimedOut:
    case LookupFailure::kCutOff:
    case LookupFailure::kTooLarge:
      return "Could not connect to web server";
    default:
      return "";
  }
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

// Releases whose title matches the term, where the source can tell; a
// search that fails here still has its artists and labels to offer.
std::vector<ReleaseHit> releases_titled(const std::string& term) {
  ReleaseQuery query;
  query.text = term;
  const Lookup<std::vector<ReleaseHit>> found = database().find_releases(query);
  if (found.ok()) return found.value;
  if (found.failure.kind != LookupFailure::kNotOffered) {
    platform::trace("the search for releases failed; artists and labels only\n");
  }
  return {};
}

}  // namespace

SearchOutcome search_database(platform::Window* owner, const std::string& term,
                              SearchResults& results) {
  platform::trace("searchterm: %s\n", term.c_str());
  DatabaseSource& source = database();
  const Lookup<Found> found =
      source.is_address(term) ? source.resolve_address(term) : source.search(term);
  if (!found.ok()) {
    return tell_lookup_failure(owner, found.failure, said_for_search(found.failure))
               ? SearchOutcome::kRetry
               : SearchOutcome::kFailed;
  }
  lookup_succeeded();
  if (found.value.kind != Found::kHits) {
    take_found_directly(found.value);
    return SearchOutcome::kPage;
  }
  results.hits = found.value.hits;
  results.releases = releases_titled(term);
  if (results.hits.empty() && results.releases.empty()) {
    error_box("Could not find any matches for your search terms.", owner);
    return SearchOutcome::kNoHits;
  }
  return SearchOutcome::kHits;
}

void list_search_results(const SearchResults& results, std::vector<std::string>& release_lines) {
  g_rurl.clear();
  release_lines.clear();
  for (const SearchHit& hit : results.hits) g_rurl.push_back(hit.link);
  for (const ReleaseHit& hit : results.releases) {
    g_rurl.push_back(release_link(hit));
    release_lines.push_back(release_hit_line(hit.title));
  }
}

ChoiceOutcome load_search_result(platform::Window* owner, const SearchResults& results) {
  // A release found by its title is read at once, as a typed address is.
  for (const ReleaseHit& hit : results.releases) {
    if (g_result_url != kDatabaseBase + release_link(hit)) continue;
    Lookup<Release> release = database().read_release(release_link(hit));
    if (!release.ok()) {
      return tell_lookup_failure(owner, release.failure, kNoTracks) ? ChoiceOutcome::kRetry
                                                                    : ChoiceOutcome::kFailed;
    }
    lookup_succeeded();
    match_release(release.value);
    return ChoiceOutcome::kRelease;
  }
  const SearchHit* chosen = chosen_hit(results.hits);
  if (chosen == nullptr) {
    error_box("No search result was selected.", owner);
    return ChoiceOutcome::kFailed;
  }
  g_direct_page = false;
  SearchHit hit = *chosen;
  hit.is_label = g_label;  // as the search-result page read the link
  const Lookup<Discography> list = database().list_releases(hit);
  if (!list.ok()) {
    return tell_lookup_failure(owner, list.failure) ? ChoiceOutcome::kRetry
                                                    : ChoiceOutcome::kFailed;
  }
  lookup_succeeded();
  take_discography(list.value);
  return ChoiceOutcome::kReleases;
}
