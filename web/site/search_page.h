#pragma once
// The database's search: the query it is sent and the result page it answers.
#include <string>
#include <vector>

// Whether the page lists search results rather than being a hit itself.
bool is_search_result_page(const std::string& page);
// Appends the artist links of the page, then its label links, each once.
void extract_search_results(const std::string& page, std::vector<std::string>& list);
// The term as the search query carries it: blanks become '+'; '&', '#', '+',
// '%' and every byte outside printable ASCII are sent percent-encoded, the
// latter as the UTF-8 of their Windows-1252 character.
std::string encode_search_term(const std::string& term);
