#include <cstddef>
#include <cstdint>
#include <string>

#include "model/local_track.h"
#include "output/tags/tag_reader.h"
#include "tests/fuzz/fuzz_scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::write_scratch_file("track.mp3", data, size);
  LocalTrack track;
  read_local_tags(path, track);
  return 0;
}
