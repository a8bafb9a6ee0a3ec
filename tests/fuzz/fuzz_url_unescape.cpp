#include <cstddef>
#include <cstdint>
#include <string>

#include "common/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  url_unescape(text);
  if (text.size() > size) __builtin_trap();
  return 0;
}
