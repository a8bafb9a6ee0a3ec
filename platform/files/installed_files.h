#pragma once
// Files installed beside the program: found from where the running program
// is, so that an install under any prefix finds its own (<prefix>/bin/plinth
// next to <prefix>/lib/plinth and <prefix>/share/doc/plinth).
#include <string>

namespace platform {

// The folder of the running program ("." when it cannot be told).
std::string program_folder();

// The path (file-system bytes) of a file in the program's documentation
// folder, else of the file beside the program, as the build puts it there;
// "" when neither is there.
std::string installed_doc_file(const std::string& name);

// The same file as a file:// address, characters outside a URL's plain set
// percent-encoded; "" when the file is not there.
std::string installed_doc_url(const std::string& name);

}  // namespace platform
