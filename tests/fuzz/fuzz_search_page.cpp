#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "web/site/search_page.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string page(reinterpret_cast<const char*>(data), size);
  is_search_result_page(page);
  std::vector<std::string> links;
  extract_search_results(page, links);
  // Each link is listed once.
  if (std::set<std::string>(links.begin(), links.end()).size() != links.size()) __builtin_trap();
  return 0;
}
