#pragma once
#include <string>

namespace platform {
class Window;
}

// Searches the run's database for the term (or goes to it when it is a
// database address), lets the user pick an artist or label on the
// search-result page and loads its releases; a release reached straight
// away is read and matched. The outcome is left in the run state
// (g_cancelled, g_direct_page, g_label, g_rurl, g_collection, ...).
void search_database(platform::Window* owner, std::string term);
