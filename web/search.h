#pragma once
#include <string>
#include <vector>

namespace platform {
class Window;
}

// Searches the database for the term (or fetches it when it is a database
// address) and loads the chosen artist's or label's releases. The outcome is
// left in the run state (g_cancelled, g_direct_page, g_label, g_rurl, ...).
void search_database(platform::Window* owner, std::string term);
// Whether the page lists search results rather than being a hit itself.
bool is_search_result_page(const std::string& page);
// Appends the artist links of the page, then its label links, each once.
void extract_search_results(const std::string& page, std::vector<std::string>& list);
// The term as the search query carries it: blanks become '+'; '&', '#', '+',
// '%' and every byte outside printable ASCII are sent percent-encoded, the
// latter as the UTF-8 of their Windows-1252 character.
std::string encode_search_term(const std::string& term);
