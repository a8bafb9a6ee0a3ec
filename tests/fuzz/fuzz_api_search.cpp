#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "web/api/api_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string json(reinterpret_cast<const char*>(data), size);
  std::vector<ApiSearchHit> hits;
  read_api_search(json, hits);
  // Artists come before every label, and every hit has an id.
  bool seen_label = false;
  for (const ApiSearchHit& hit : hits) {
    if (hit.id.empty() || (seen_label && !hit.is_label)) __builtin_trap();
    seen_label = seen_label || hit.is_label;
  }
  return 0;
}
