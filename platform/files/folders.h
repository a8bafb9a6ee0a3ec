#pragma once
// The album folder and its entries. Names are Windows-1252 text as the
// program holds it (see codepage.h).
#include <cstdint>
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

// Every folder at or below `root` (an absolute path) that directly holds a
// regular "*.mp3" file, any case of the extension: as paths, in name order,
// each folder before the folders inside it. Symbolic links are not
// followed, below the root, and folders whose names begin with '.' are
// skipped.
std::vector<std::string> album_folders(const std::string& root);

// True when a file of that name can be opened for reading.
bool file_readable(const std::string& name);

// What tells one folder from another however it is renamed: its device and
// inode. A symbolic link is followed, as set_current_folder follows it.
struct FolderIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  bool operator==(const FolderIdentity& other) const {
    return device == other.device && inode == other.inode;
  }
};
// False when the path names no folder.
bool folder_identity(const std::string& path, FolderIdentity& identity);

// The folder a run entered at its start: which folder it is, and whether
// the path's last component was a symbolic link.
struct EnteredFolder {
  FolderIdentity identity;
  bool through_link = false;
};

// Makes the folder current as set_current_folder does, and tells which
// folder it is; false when it cannot be entered.
bool enter_folder(const std::string& path, EnteredFolder& entered);

// Makes the folder current again, for writing in it: the path is opened
// once, its last component not followed unless it was a link when the
// folder was entered, and the folder opened must be the one entered then.
// 0, ESTALE when another folder or a link stands under the path now (the
// folder was moved or replaced meanwhile), or another errno value.
int reenter_folder(const std::string& path, const EnteredFolder& entered);

}  // namespace platform
