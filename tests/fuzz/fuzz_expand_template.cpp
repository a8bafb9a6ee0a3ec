#include <cstddef>
#include <cstdint>
#include <string>

#include "model/release.h"
#include "output/names/name_templates.h"

namespace {

Release sample_release() {
  Release release;
  release.artist = "Artist/1";  // a value holding a slash is not expanded again
  release.title = "Title";
  release.label = "Label";
  release.catalog_number = "CAT 001";
  release.release_date = "1999";
  release.style = "Style";
  for (int i = 0; i < 3; ++i) {
    release.track_artists.push_back("Track Artist");
    release.track_names.push_back("Track /7 Name");
    release.track_numbers.push_back(std::to_string(i + 1));
  }
  return release;
}

}  // namespace

// The first byte picks the track (some out of range), the rest is the template.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const Release release = sample_release();
  if (size == 0) return 0;
  const int track = static_cast<int>(data[0] % 8) - 2;
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  expand_template(text, release, track);
  return 0;
}
