#pragma once
// The process's command line, as the program sees it: Windows-1252 text
// (see codepage.h), one folder to process after the program path.
#include <string>

namespace platform {

// The program path and every argument joined by single blanks.
std::string command_line(int argc, const char* const* argv);

// The folder to process: the arguments after the program path joined by
// single blanks, double quotes removed, made absolute against the current
// folder. Empty when there is no argument.
std::string folder_argument(int argc, const char* const* argv);

// `path` made absolute against `current` (both file-system bytes): "." and
// ".." components, doubled and trailing '/' removed. Symbolic links are not
// resolved, so ".." means the component written before it, as a file
// manager's path does.
std::string absolute_folder(const std::string& path, const std::string& current);

}  // namespace platform
