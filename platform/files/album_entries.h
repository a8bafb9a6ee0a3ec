#pragma once
// The entries of the folder that Finish! works in: the current folder, whose
// descriptor the process holds however the folder is renamed meanwhile.
// Names are Windows-1252 text as the program holds it. A name made from
// database text is hostile: each function here takes only a name that
// entry_name_refusal accepts, so nothing is written, renamed to or read
// outside the folder, and a symbolic link under a name is never followed.
#include <string>

namespace platform {

// Why the name cannot be one entry of a folder, or "" when it can. Judged on
// the file system's bytes, after every decoding: no '/', no zero byte, no
// control character, neither "." nor "..". An empty name is left to the
// file system, which refuses it anyway.
std::string entry_name_refusal(const std::string& name);

// Why the name cannot be an entry of the folder at all, or "" when it can:
// judged as above, but a control character is allowed. Every name the
// folder lists passes, so it is the check for names the user gave (a TAB,
// say), which a run must be able to give back.
std::string entry_component_refusal(const std::string& name);

enum class EntryKind {
  kMissing,  // nothing of that name (or it cannot be examined)
  kRegular,  // a regular file
  kOther,    // a symbolic link, a folder, a FIFO, a device
};
EntryKind entry_kind(const std::string& name);

// Each gives 0 or an errno value: EINVAL for a name entry_name_refusal
// refuses, ELOOP for a link or anything but a regular file.

// Renames, never replacing anything. `from` is a name the folder listed (or
// a path the user gave); only the new name is judged.
int rename_entry(const std::string& from, const std::string& to);
// Gives an entry back a name it had: both names are judged by
// entry_component_refusal, and nothing is replaced.
int rename_entry_back(const std::string& from, const std::string& to);
// A new file, complete or not at all; an existing entry is never replaced.
int create_entry(const std::string& name, const std::string& data);
// A regular file's whole content rewritten, or a missing one created.
int write_entry(const std::string& name, const std::string& data);
// A regular file's whole content; false for anything else.
bool read_entry(const std::string& name, std::string& data);

// One run at a time per folder: an exclusive lock on the current folder,
// held while the object lives. A file system without locks gives no lock
// and no refusal either.
class FolderLock {
 public:
  FolderLock();
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  // False when another process holds the folder's lock.
  bool free() const { return !taken_; }

 private:
  int fd_ = -1;
  bool taken_ = false;
};

}  // namespace platform
