#pragma once
// The parts of a path, by its last '/'. Text only: nothing is looked up.
#include <string>

namespace platform {

// The folder part of a path: "." without a '/', "/" for a name in the root.
std::string folder_of(const std::string& path);
// The last component of a path: all of it when there is no '/'.
std::string base_of(const std::string& path);

}  // namespace platform
