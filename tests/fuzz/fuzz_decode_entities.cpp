#include <cstddef>
#include <cstdint>
#include <string>

#include "web/site/page_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  decode_entities(text);
  if (text.size() > size) __builtin_trap();  // decoding never lengthens
  return 0;
}
