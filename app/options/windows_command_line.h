#pragma once
#include <string>

// The folder argument of a command line as Windows hands it over: what
// follows the first blank after ".exe", or the whole line when there is no
// such blank, with every double quote removed.
std::string folder_from_command_line(const std::string& command_line);
