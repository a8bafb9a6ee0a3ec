#include <cstddef>
#include <cstdint>
#include <string>

#include "web/site/page_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // libFuzzer's buffer holds exactly `size` bytes, so a read past the length
  // is caught.
  std::string text;
  utf8_to_latin1(reinterpret_cast<const char*>(data), size, text);
  if (text.size() > size) __builtin_trap();
  return 0;
}
