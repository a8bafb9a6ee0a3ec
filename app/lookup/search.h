#pragma once
// The lookups behind the first two pages: the search for a term, and the
// artist, label or release chosen from what it found.
#include <string>
#include <vector>

#include "web/database_source.h"

namespace platform {
class Window;
}

// What a search found to choose from on the search-result page: artists
// and labels, then (through the API) releases whose title matches.
struct SearchResults {
  std::vector<SearchHit> hits;
  std::vector<ReleaseHit> releases;
};

// What the program has always said when it could not read a release.
constexpr const char* kNoTracks =
    "Could not find any tracks on your selected release. (The web search database may be "
    "offline)";

// What a search came to; the details are left in the run state.
enum class SearchOutcome {
  kFailed,  // told in a box (or the user stopped the wait: g_cancelled)
  kRetry,   // a refusal mended on the spot: search again
  kNoHits,  // told in a box: nothing to choose
  kHits,    // the results hold what to choose from
  kPage,    // the term led straight to a list of releases or to a release
};

// Searches the run's database for the term, or goes to it when it is a
// database address. A list of releases reached straight away is left in
// g_rurl and g_collection; a release is read and matched.
SearchOutcome search_database(platform::Window* owner, const std::string& term,
                              SearchResults& results);

// The search-result page's lines: g_rurl gets the links of the hits, then
// "/release/ID" for each release found, and `release_lines` the lines those
// releases are shown as.
void list_search_results(const SearchResults& results, std::vector<std::string>& release_lines);

// What the choice on the search-result page (g_result_url) led to.
enum class ChoiceOutcome {
  kFailed,    // told in a box (or the user stopped the wait: g_cancelled)
  kRetry,     // a refusal mended on the spot: load again
  kReleases,  // g_rurl and g_collection hold the artist's or label's releases
  kRelease,   // the release was read and matched
};
ChoiceOutcome load_search_result(platform::Window* owner, const SearchResults& results);
