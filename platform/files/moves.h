#pragma once
// Moves that never replace. Names are Windows-1252 text as the program
// holds it, except where a function says they are the file system's bytes.
#include <string>

namespace platform {

// Renames or moves, never replacing an existing file or folder. Returns 0,
// or the errno of the failure (EEXIST when the target exists).
int move_no_replace(const std::string& from, const std::string& to);

// The system's text for an errno value.
std::string error_text(int error);

// The ways a move is carried out where the file system has no atomic
// no-replace rename; move_no_replace picks one. Declared here so that each
// can be tested on any file system. Each returns 0 or an errno value.

// move_no_replace on names that are already the file system's bytes.
int move_no_replace_fs(const std::string& from, const std::string& to);

// Hard link to the new name (which fails when it exists), then the old name
// goes. For files only.
int move_by_link(const std::string& from, const std::string& to);

// Looks whether the new name exists, then renames. Another program could
// create the new name between the look and the rename; used only where
// neither the no-replace rename nor a hard link is available.
int move_after_check(const std::string& from, const std::string& to);

}  // namespace platform
