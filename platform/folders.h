#pragma once
// The album folder and its entries. Names are Windows-1252 text as the
// program holds it (see codepage.h).
#include <string>
#include <vector>

namespace platform {

// Makes the folder current; false when it cannot be.
bool set_current_folder(const std::string& path);

// Names of the current folder's entries that end in ".mp3" in any letter
// case (folders too), sorted without regard to case, ties by bytes.
std::vector<std::string> list_mp3_names();

// 0 when entries can be created and renamed in the current folder, else the
// errno value that says why not (EACCES, EROFS, ...).
int current_folder_write_refusal();

// Whether the path names a folder (a link to one counts).
bool folder_exists(const std::string& path);

// True when a file of that name can be opened for reading.
bool file_readable(const std::string& name);

// The folder part of a path: "." without a '/', "/" for a name in the root.
std::string folder_of(const std::string& path);

}  // namespace platform
