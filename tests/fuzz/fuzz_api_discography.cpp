#include <cstddef>
#include <cstdint>
#include <string>

#include "web/api/api_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string json(reinterpret_cast<const char*>(data), size);
  for (const bool is_label : {false, true}) {
    ApiDiscographyPage page;
    read_api_discography(json, is_label, page);
    if (page.entries.size() != page.release_ids.size()) __builtin_trap();
  }
  return 0;
}
