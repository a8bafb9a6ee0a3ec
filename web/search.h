#pragma once
#include <string>
#include <vector>

namespace platform {
class Window;
}

// Searches the database for the term (or fetches it when it is a database
// address) and loads the chosen artist's or label's releases.
void search_database(platform::Window* owner, std::string term);
bool is_search_result_page(const std::string& page);
void extract_search_results(const std::string& page, std::vector<std::string>& list);
