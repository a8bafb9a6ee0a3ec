#pragma once
// A small file that only its owner may read, such as a secret: created with
// mode 0600 in a folder created with mode 0700 where missing. Names are
// Windows-1252 text as the program holds it. Each call returns 0 or an errno
// value.
#include <string>

namespace platform {

// Writes the content: the file appears whole or keeps its old content, and
// ends with mode 0600 whatever mode it had.
int write_private_file(const std::string& path, const std::string& data);

// Removes the file; a file that is not there counts as removed.
int remove_private_file(const std::string& path);

}  // namespace platform
