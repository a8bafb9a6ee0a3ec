#pragma once
#include <string>

namespace platform {
class Window;
}

// Searches the database for the term (or fetches it when it is a database
// address), lets the user pick an artist or label on the search-result page
// and loads its releases. The outcome is left in the run state
// (g_cancelled, g_direct_page, g_label, g_rurl, ...).
void search_database(platform::Window* owner, std::string term);
