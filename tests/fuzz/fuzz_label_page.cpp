#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "web/site/discography.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string page(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> links;
  std::vector<ReleaseEntry> entries;
  parse_label_page(page, links, entries);
  // Entry i belongs to link i, whatever the page.
  if (links.size() != entries.size()) __builtin_trap();
  return 0;
}
