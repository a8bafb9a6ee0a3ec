#include <cstddef>
#include <cstdint>
#include <string>

#include "web/site/release_page.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string page(reinterpret_cast<const char*>(data), size);
  Release release;
  read_release_page(page, release);
  // Track i is entry i of the three lists.
  if (release.track_names.size() != release.track_numbers.size() ||
      release.track_names.size() != release.track_artists.size()) {
    __builtin_trap();
  }
  return 0;
}
