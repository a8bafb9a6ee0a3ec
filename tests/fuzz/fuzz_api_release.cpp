#include <cstddef>
#include <cstdint>
#include <string>

#include "web/api/api_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string json(reinterpret_cast<const char*>(data), size);
  Release release;
  read_api_release(json, release);
  read_api_master(json);
  // Track i is entry i of the three lists.
  if (release.track_names.size() != release.track_numbers.size() ||
      release.track_names.size() != release.track_artists.size()) {
    __builtin_trap();
  }
  return 0;
}
