#pragma once
// The lookups of the wizard through the database's REST API. They leave the
// same run state as the site's pages do (g_rurl, g_collection, g_label, the
// chosen release), so the pages, the matching and the output are shared;
// every failure tells the user in a box and ends the run (g_cancelled).
#include <string>

#include "app/search.h"

namespace platform {
class Window;
}

// Whether this run uses the API (it has a token).
bool api_in_use();
// The search-term page's outcome: a typed database address goes straight to
// its release, artist or label; any other term is searched for.
SearchOutcome api_search_database(platform::Window* owner, const std::string& term);
// Lists the releases of the artist or label chosen on the search-result page.
void api_load_search_result(platform::Window* owner);
// Reads the release of a release link ("/release/ID") and matches the local
// files to it.
void api_read_release(platform::Window* owner, const std::string& link);
