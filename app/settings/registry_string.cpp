#include "app/settings/registry_string.h"

#include <cstring>

#include "platform/dialogs/front_end.h"
#include "platform/registry/registry.h"

namespace {

void registry_box(const char* text) {
  platform::message_box(nullptr, text, "Error", platform::kBoxOk);
}

}  // namespace

int read_registry_string(const std::string& root, const std::string& key_path,
                         const std::string& value_name, char (&buffer)[kRegistryBufferSize]) {
  std::string value;
  const platform::RegistryRead read =
      platform::read_registry_value(root, key_path, value_name, value);
  if (read == platform::RegistryRead::kNoKey) {
    registry_box("Could not find key path");
    return 0;
  }
  // A value that does not fit the buffer with its terminating zero is a
  // failed read, as a registry query into a short buffer is.
  if (read == platform::RegistryRead::kNoValue || value.size() + 1 > kRegistryBufferSize) {
    registry_box("Could not read key value");
    return 0;
  }
  std::memcpy(buffer, value.data(), value.size());
  buffer[value.size()] = '\0';
  return static_cast<int>(value.size() + 1);
}
