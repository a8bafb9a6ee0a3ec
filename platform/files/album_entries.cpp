#include "platform/files/album_entries.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/codepage.h"
#include "platform/files/file_read.h"
#include "platform/files/moves.h"
#include "platform/files/safe_write.h"

namespace platform {

namespace {

std::string component_refusal(const std::string& bytes) {
  if (bytes == "." || bytes == "..") return "it names a folder, not a file in it";
  if (bytes.find('/') != std::string::npos) return "it holds a '/'";
  if (bytes.find('\0') != std::string::npos) return "it holds a zero byte";
  return "";
}

}  // namespace

std::string entry_name_refusal(const std::string& name) {
  const std::string bytes = fs_name(name);
  const std::string refusal = component_refusal(bytes);
  if (!refusal.empty()) return refusal;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    const bool c1_control =
        c == 0xC2 && i + 1 < bytes.size() && static_cast<unsigned char>(bytes[i + 1]) < 0xA0;
    if (c < 0x20 || c == 0x7F || c1_control) return "it holds a control character";
  }
  return "";
}

std::string entry_component_refusal(const std::string& name) {
  if (name.empty()) return "it is empty";
  return component_refusal(fs_name(name));
}

EntryKind entry_kind(const std::string& name) {
  struct stat info;
  if (::fstatat(AT_FDCWD, fs_name(name).c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
    return EntryKind::kMissing;
  }
  return S_ISREG(info.st_mode) ? EntryKind::kRegular : EntryKind::kOther;
}

int rename_entry(const std::string& from, const std::string& to) {
  if (!entry_name_refusal(to).empty()) return EINVAL;
  return move_no_replace(from, to);
}

int rename_entry_back(const std::string& from, const std::string& to) {
  if (!entry_component_refusal(from).empty() || !entry_component_refusal(to).empty()) {
    return EINVAL;
  }
  return move_no_replace(from, to);
}

int create_entry(const std::string& name, const std::string& data) {
  if (!entry_name_refusal(name).empty()) return EINVAL;
  return create_file_whole(name, data);
}

int write_entry(const std::string& name, const std::string& data) {
  if (!entry_name_refusal(name).empty()) return EINVAL;
  struct stat info;
  if (::fstatat(AT_FDCWD, fs_name(name).c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
    return errno == ENOENT ? create_file_whole(name, data) : errno;
  }
  if (!S_ISREG(info.st_mode)) return ELOOP;
  return rewrite_file(name, static_cast<uint64_t>(info.st_size), {FilePiece::bytes(data)},
                      Links::kRefuse);
}

bool read_entry(const std::string& name, std::string& data) {
  return entry_name_refusal(name).empty() && read_whole_file(name, data, Links::kRefuse);
}

FolderLock::FolderLock() {
  fd_ = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) return;
  taken_ = ::flock(fd_, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

FolderLock::~FolderLock() {
  if (fd_ >= 0) ::close(fd_);  // the lock goes with the descriptor
}

}  // namespace platform
