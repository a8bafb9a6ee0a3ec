#include "platform/files/folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/codepage.h"
#include "platform/files/file_read.h"

namespace platform {
namespace {

bool ends_in_mp3(const std::string& name) {
  if (name.size() < 4) return false;
  std::string tail = name.substr(name.size() - 4);
  for (char& c : tail) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return tail == ".mp3";
}

unsigned char folded(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b - 'A' + 'a') : b;
}

// The order the desktop file system lists a folder in: letter case aside
// first, then the bytes, so that two runs over one folder always agree.
bool listed_before(const std::string& a, const std::string& b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    if (folded(a[i]) != folded(b[i])) return folded(a[i]) < folded(b[i]);
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

// The entries of a folder that are folders themselves (links are not) and
// whether it holds an MP3 file, read without following a link anywhere.
struct FolderEntries {
  std::vector<std::string> folders;  // the file system's bytes
  bool has_mp3 = false;
};

FolderEntries read_folder(int fd) {
  FolderEntries entries;
  const int listing = dup(fd);
  DIR* folder = listing < 0 ? nullptr : fdopendir(listing);
  if (folder == nullptr) {
    if (listing >= 0) close(listing);
    return entries;
  }
  while (const dirent* entry = readdir(folder)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat info;
    if (fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISDIR(info.st_mode)) {
      // Hidden folders hold a program's own files, not albums.
      if (name[0] != '.') entries.folders.push_back(name);
    } else if (S_ISREG(info.st_mode) && ends_in_mp3(name)) {
      entries.has_mp3 = true;
    }
  }
  closedir(folder);
  std::sort(entries.folders.begin(), entries.folders.end(), [](const auto& a, const auto& b) {
    return listed_before(name_from_fs(a), name_from_fs(b));
  });
  return entries;
}

void walk(int fd, const std::string& path, std::vector<std::string>& albums) {
  const FolderEntries entries = read_folder(fd);
  if (entries.has_mp3) albums.push_back(name_from_fs(path));
  for (const std::string& name : entries.folders) {
    const int child = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (child < 0) continue;
    walk(child, (path == "/" ? "" : path) + "/" + name, albums);
    close(child);
  }
}

}  // namespace

std::vector<std::string> album_folders(const std::string& root) {
  std::vector<std::string> albums;
  std::string path = fs_name(root);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return albums;
  walk(fd, path, albums);
  close(fd);
  return albums;
}

bool set_current_folder(const std::string& path) {
  if (path.empty()) return false;
  return chdir(fs_name(path).c_str()) == 0;
}

int current_folder_write_refusal() {
  // The effective ids decide, as they do for the writes that follow.
  return faccessat(AT_FDCWD, ".", W_OK | X_OK, AT_EACCESS) == 0 ? 0 : errno;
}

bool folder_exists(const std::string& path) {
  struct stat info;
  return stat(fs_name(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool enter_folder(const std::string& path, EnteredFolder& entered) {
  entered = EnteredFolder();
  struct stat entry;
  if (!set_current_folder(path) || !folder_identity(".", entered.identity)) return false;
  entered.through_link = ::lstat(fs_name(path).c_str(), &entry) == 0 && S_ISLNK(entry.st_mode);
  return true;
}

int reenter_folder(const std::string& path, const EnteredFolder& entered) {
  if (path.empty()) return ENOENT;
  const int no_follow = entered.through_link ? 0 : O_NOFOLLOW;
  const int fd = ::open(fs_name(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | no_follow);
  // A link where the folder was, or a file: not the folder the run was for.
  if (fd < 0) return errno == ELOOP || errno == ENOTDIR ? ESTALE : errno;
  struct stat info;
  int error = ::fstat(fd, &info) == 0 ? 0 : errno;
  if (error == 0 && (static_cast<uint64_t>(info.st_dev) != entered.identity.device ||
                     static_cast<uint64_t>(info.st_ino) != entered.identity.inode)) {
    error = ESTALE;
  }
  // From here on every name is taken relative to the folder opened.
  if (error == 0 && ::fchdir(fd) != 0) error = errno;
  ::close(fd);
  return error;
}

std::vector<std::string> list_mp3_names() {
  std::vector<std::string> names;
  DIR* folder = opendir(".");
  if (folder == nullptr) return names;
  while (const dirent* entry = readdir(folder)) {
    const std::string name = name_from_fs(entry->d_name);
    if (ends_in_mp3(name)) names.push_back(name);
  }
  closedir(folder);
  std::sort(names.begin(), names.end(), listed_before);
  return names;
}

bool folder_identity(const std::string& path, FolderIdentity& identity) {
  struct stat info;
  if (path.empty() || ::stat(fs_name(path).c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    return false;
  }
  identity.device = static_cast<uint64_t>(info.st_dev);
  identity.inode = static_cast<uint64_t>(info.st_ino);
  return true;
}

bool file_readable(const std::string& name) {
  uint64_t size = 0;
  const int fd = open_regular_file(name, size);
  if (fd < 0) return false;
  close(fd);
  return true;
}

}  // namespace platform
