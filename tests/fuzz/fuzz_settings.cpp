#include <cstddef>
#include <cstdint>
#include <string>

#include "app/settings/settings_file.h"
#include "tests/fuzz/fuzz_scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::write_scratch_file("settings.xml", data, size);
  load_settings(path);
  return 0;
}
