#pragma once
#include <string>

namespace platform {
class Window;
}

// What a search came to; the details are left in the run state.
enum class SearchOutcome {
  kFailed,  // told in a box, and g_cancelled set
  kNoHits,  // told in a box: nothing to choose
  kHits,    // g_rurl holds the artists and labels found, for the search-result page
  kPage,    // the term was a page's address, read at once (g_direct_page, g_label, ...)
};

// Searches the database for the term, or fetches it when it is a database
// address (and then reads the artist's or label's releases from it).
SearchOutcome search_database(platform::Window* owner, std::string term);
// Loads the releases of the artist or label chosen on the search-result
// page (g_result_url, g_label) into g_rurl and g_collection.
void load_search_result(platform::Window* owner);
