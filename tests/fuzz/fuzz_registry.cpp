#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/registry/registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const platform::RegistryValues values = platform::parse_registry_export(bytes);
  // Key paths and value names are kept in lower case.
  for (const auto& key : values) {
    for (char c : key.first) {
      if (c >= 'A' && c <= 'Z') __builtin_trap();
    }
  }
  return 0;
}
