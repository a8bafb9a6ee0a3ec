#pragma once
// The lookups of the wizard through the database's REST API. They leave the
// same run state as the site's pages do (g_rurl, g_collection, g_label, the
// chosen release), so the pages, the matching and the output are shared;
// every failure tells the user in a box and ends the run (g_cancelled).
#include <string>

namespace platform {
class Window;
}

// Whether this run uses the API (it has a token).
bool api_in_use();
// The search-term page's outcome: a typed database address goes straight to
// its release, artist or label; any other term is searched for, and the
// chosen artist's or label's releases are listed.
void api_search_database(platform::Window* owner, const std::string& term);
// Reads the release of a release link ("/release/ID") and matches the local
// files to it.
void api_read_release(platform::Window* owner, const std::string& link);
