#pragma once
// The process's command line, as the program sees it: Windows-1252 text
// (see codepage.h), one folder to process after the program path.
#include <string>

namespace platform {

// The program path and every argument joined by single blanks.
std::string command_line(int argc, const char* const* argv);

// The folder to process: the arguments after the program path (and after a
// first "--") joined by single blanks, made absolute against the current
// folder; taken as they stand when that folder exists, else with their
// double quotes removed. Empty when there is no argument.
std::string folder_argument(int argc, const char* const* argv);

// `path` made absolute against `current` (both file-system bytes): "." and
// ".." components, doubled and trailing '/' removed. Symbolic links are not
// resolved, so ".." means the component written before it, as a file
// manager's path does.
std::string absolute_folder(const std::string& path, const std::string& current);

}  // namespace platform
