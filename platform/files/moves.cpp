#include "platform/files/moves.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/codepage.h"
#include "platform/files/folders.h"
#include "platform/paths.h"

namespace platform {
namespace {

int rename_no_replace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  return errno;
}

bool flag_unsupported(int error) { return error == EINVAL || error == ENOSYS; }

bool links_unsupported(int error) { return error == EPERM || error == EOPNOTSUPP; }

bool is_folder(const std::string& name) {
  struct stat info;
  return ::lstat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int move_without_flag(const std::string& from, const std::string& to) {
  if (!is_folder(from)) {
    const int error = move_by_link(from, to);
    if (!links_unsupported(error)) return error;
  }
  return move_after_check(from, to);
}

int move_once(const std::string& from, const std::string& to) {
  const int error = rename_no_replace(from, to);
  if (!flag_unsupported(error)) return error;
  // EINVAL is also the answer for moving a folder into itself; the plain
  // rename below gives the same answer then.
  return move_without_flag(from, to);
}

// On a file system that ignores letter case the new name of a case-only
// rename already "exists": it is the old file itself, under the one entry
// it has. Such a rename then goes through a free name in between.
bool same_entry(const std::string& from, const std::string& to) {
  struct stat a, b;
  if (::lstat(from.c_str(), &a) != 0 || ::lstat(to.c_str(), &b) != 0) return false;
  if (a.st_dev != b.st_dev || a.st_ino != b.st_ino) return false;
  return S_ISDIR(a.st_mode) || a.st_nlink == 1;  // else: two hard links
}

int move_through_free_name(const std::string& from, const std::string& to) {
  const std::string stem = folder_of(to) + "/.plinth-rename-" + std::to_string(::getpid()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string between = stem + std::to_string(attempt);
    const int error = move_once(from, between);
    if (error == EEXIST) continue;
    if (error != 0) return error;
    const int final_error = move_once(between, to);
    if (final_error != 0) move_once(between, from);
    return final_error;
  }
  return EEXIST;
}

}  // namespace

int move_by_link(const std::string& from, const std::string& to) {
  if (::link(from.c_str(), to.c_str()) != 0) return errno;
  if (::unlink(from.c_str()) != 0) {
    const int error = errno;
    ::unlink(to.c_str());  // both names point at the same file: drop the new one
    return error;
  }
  return 0;
}

int move_after_check(const std::string& from, const std::string& to) {
  struct stat info;
  if (::lstat(to.c_str(), &info) == 0) return EEXIST;
  if (errno != ENOENT) return errno;
  if (::rename(from.c_str(), to.c_str()) != 0) return errno;
  return 0;
}

int move_no_replace(const std::string& from, const std::string& to) {
  return move_no_replace_fs(fs_name(from), fs_name(to));
}

int move_no_replace_fs(const std::string& source, const std::string& target) {
  const int error = move_once(source, target);
  if (error == EEXIST && source != target && same_entry(source, target)) {
    return move_through_free_name(source, target);
  }
  return error;
}

// The C library's text may be in the user's language, in UTF-8.
std::string error_text(int error) { return text_from_utf8(std::strerror(error)); }

}  // namespace platform
