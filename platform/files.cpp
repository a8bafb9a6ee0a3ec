#include "platform/files.h"

#include "platform/codepage.h"

namespace platform {

std::string fs_name(const std::string& name) { return to_utf8(name); }

}  // namespace platform
