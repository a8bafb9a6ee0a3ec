#include "web/site/search_page.h"

#include <set>

#include "common/text.h"
#include "platform/codepage.h"
#include "platform/http/http.h"

namespace {

// Unescaped, '&' and '#' would end the query early ("Rock & Roll" would
// search for "Rock "), '+' would become a blank and '%' start an escape.
bool needs_escape(unsigned char byte) {
  return byte < 0x20 || byte >= 0x7F || byte == '&' || byte == '#' || byte == '+' || byte == '%';
}

// Appends the links that follow every occurrence of the marker (from the '/'
// behind the opening quote to the closing quote) that the list lacks.
void append_links(const std::string& page, const std::string& marker,
                  std::vector<std::string>& list) {
  const int quote_offset = find_text(marker, "\"", 0) + 1;
  std::set<std::string> known(list.begin(), list.end());
  for (int match = find_text(page, marker, 0); match >= 0;) {
    const size_t start = static_cast<size_t>(match + quote_offset);
    const size_t end = page.find('"', start);
    const std::string link = page.substr(start, end == std::string::npos ? end : end - start);
    if (known.insert(link).second) list.push_back(link);
    match = find_text(page, marker, static_cast<int>(start));
  }
}

}  // namespace

bool is_search_result_page(const std::string& page) {
  if (find_text(page, "Search results", 0) >= 0) return true;
  return find_text(page, "Your search for", 0) >= 0;
}

void extract_search_results(const std::string& page, std::vector<std::string>& list) {
  append_links(page, "<li><a href=\"/artist/", list);
  append_links(page, "<li><a href=\"/label/", list);
}

std::string encode_search_term(const std::string& term) {
  std::string encoded = platform::percent_encode(platform::to_utf8(term), needs_escape);
  for (char& c : encoded) {
    if (c == ' ') c = '+';
  }
  return encoded;
}
