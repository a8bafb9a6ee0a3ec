#pragma once
// Files and folders. Every name here is Windows-1252 text as the program
// holds it (see codepage.h); it is turned into the file system's own bytes
// at this boundary.
#include <string>
#include <vector>

namespace platform {

// The file system's bytes for a name the program holds.
std::string fs_name(const std::string& name);

// Makes the folder current; false when it cannot be.
bool set_current_folder(const std::string& path);

// Names of the current folder's entries that end in ".mp3" in any letter
// case (folders too), sorted without regard to case, ties by bytes.
std::vector<std::string> list_mp3_names();

// Renames or moves, never replacing an existing file or folder. Returns 0,
// or the errno of the failure (EEXIST when the target exists).
int move_no_replace(const std::string& from, const std::string& to);

// The system's text for an errno value.
std::string error_text(int error);

// True when a file of that name can be opened for reading.
bool file_readable(const std::string& name);

}  // namespace platform
