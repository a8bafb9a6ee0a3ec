#include "platform/files/staged_rewrites.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <system_error>
#include <thread>

#include "platform/codepage.h"
#include "platform/files/descriptor.h"
#include "platform/files/safe_write_parts.h"
#include "platform/paths.h"

namespace platform {
namespace {

// A name the folder listing never takes for an MP3 file, that says what
// the file is and which process writes it, and that a later run recognises
// as a leftover: ".plinth-new-<process>-<name>.tmp".
const char kPrefix[] = ".plinth-new-";
const char kSuffix[] = ".tmp";

std::string in_folder(const std::string& folder, const std::string& name) {
  return folder == "." ? name : folder + "/" + name;
}

int64_t mtime_ns(const struct stat& info) {
  return static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

// The new file beside the old one: named after it where the name fits, so
// that a user who finds one knows what it was, else numbered.
int create_beside(const std::string& path, mode_t mode, std::string& temporary) {
  const std::string folder = folder_of(path);
  std::vector<std::string> candidates;
  const std::string process = std::to_string(::getpid());
  const std::string named = kPrefix + process + "-" + base_of(path) + kSuffix;
  if (named.size() <= NAME_MAX) candidates.push_back(named);
  for (int attempt = 0; attempt < 100; ++attempt) {
    candidates.push_back(kPrefix + process + "-" + std::to_string(attempt) + kSuffix);
  }
  for (const std::string& name : candidates) {
    temporary = in_folder(folder, name);
    const int fd = ::open(temporary.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode);
    if (fd >= 0) return fd;
    if (errno != EEXIST) return -1;
  }
  errno = EEXIST;
  return -1;
}

int flush_fs_folder(const std::string& folder) {
  Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() < 0) return errno;
  return ::fsync(fd.get()) == 0 ? 0 : errno;
}

// A few files flushed at once cost about what one does: the file system
// commits their data together. Beyond this many threads nothing more is won.
constexpr size_t kFlushThreads = 4;

// Freeing the blocks of replaced files goes about a third faster on four
// threads than on one; more gain little.
constexpr size_t kFreeingThreads = 4;

// fdatasync of every `step`th descriptor from `first`, each one's error in
// its place.
void flush_share(const std::vector<int>& fds, size_t first, size_t step, std::vector<int>& errors) {
  for (size_t i = first; i < fds.size(); i += step) {
    if (fds[i] >= 0 && ::fdatasync(fds[i]) != 0) errors[i] = errno;
  }
}

// Makes every descriptor's data durable, several at a time. The writeback
// of all is started first, so the disk has all of it to do at once; then
// a few threads wait for them together. The calling thread takes the first
// share itself. Returns when every flush has ended, errors in `errors`.
void flush_together(const std::vector<int>& fds, std::vector<int>& errors) {
  for (const int fd : fds) {
    if (fd >= 0) ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
  }
  const size_t step = std::min(kFlushThreads, fds.size());
  std::vector<std::thread> helpers;
  std::vector<size_t> own_shares = {0};
  for (size_t share = 1; share < step; ++share) {
    try {
      helpers.emplace_back(flush_share, std::cref(fds), share, step, std::ref(errors));
    } catch (const std::system_error&) {
      own_shares.push_back(share);  // no thread to be had: this one does it
    }
  }
  for (const size_t share : own_shares) flush_share(fds, share, std::max<size_t>(step, 1), errors);
  for (std::thread& helper : helpers) helper.join();
}

bool is_leftover_name(const std::string& name) {
  const size_t prefix = sizeof kPrefix - 1;
  const size_t suffix = sizeof kSuffix - 1;
  return name.size() > prefix + suffix && name.compare(0, prefix, kPrefix) == 0 &&
         name.compare(name.size() - suffix, suffix, kSuffix) == 0;
}

// Whether the process whose number the name carries still runs (another
// run on a file system that has no locks, or that took none): its new file
// is not a leftover. A name without a number is an older version's.
bool writer_still_runs(const std::string& name) {
  const size_t digits = name.find_first_not_of("0123456789", sizeof kPrefix - 1);
  if (digits == sizeof kPrefix - 1 || digits - (sizeof kPrefix - 1) > 9 || name[digits] != '-') {
    return false;
  }
  const auto process = static_cast<pid_t>(std::stol(name.substr(sizeof kPrefix - 1)));
  if (process <= 0 || process == ::getpid()) return false;
  return ::kill(process, 0) == 0 || errno == EPERM;
}

}  // namespace

StagedRewrites::~StagedRewrites() {
  for (const Staged& file : staged_) {
    if (!file.temporary.empty()) ::unlink(file.temporary.c_str());
  }
  for (const InPlace& write : in_place_) ::close(write.fd);
  let_replaced_go();
}

void StagedRewrites::let_replaced_go() {
  // The last close of a replaced file frees its blocks and cached pages, a
  // few milliseconds for a large file: the caller need not wait for that.
  // The program's exit does wait, so a few threads free them side by side.
  const size_t threads = std::min(kFreeingThreads, replaced_fds_.size());
  for (size_t share = 0; share < threads; ++share) {
    std::vector<int> replaced;
    for (size_t i = share; i < replaced_fds_.size(); i += threads) {
      replaced.push_back(replaced_fds_[i]);
    }
    try {
      std::thread([replaced] {
        for (const int fd : replaced) ::close(fd);
      }).detach();
    } catch (const std::system_error&) {
      for (const int fd : replaced) ::close(fd);
    }
  }
  replaced_fds_.clear();
}

void StagedRewrites::note_folder(const std::string& folder) {
  if (std::find(changed_folders_.begin(), changed_folders_.end(), folder) ==
      changed_folders_.end()) {
    changed_folders_.push_back(folder);
  }
}

int StagedRewrites::stage(const std::string& name, uint64_t expected_size,
                          const std::vector<FilePiece>& pieces, size_t& index) {
  Staged file;
  int error = safe_write_parts::resolve_link(fs_name(name), Links::kRefuse, file.target);
  if (error != 0) return error;
  // Opened for writing although only read: a file the user may not change
  // (read-only, immutable) must not be replaced behind its back.
  Descriptor old_fd(::open(file.target.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
  if (old_fd.get() < 0) return errno;
  struct stat info;
  if (::fstat(old_fd.get(), &info) != 0) return errno;
  if (!S_ISREG(info.st_mode)) return EINVAL;
  if (static_cast<uint64_t>(info.st_size) != expected_size) return ESTALE;
  Descriptor fd(create_beside(file.target, 0600, file.temporary));
  if (fd.get() < 0) return errno;
  if ((error = safe_write_parts::write_pieces(old_fd.get(), expected_size, pieces, fd.get())) !=
          0 ||
      (error = safe_write_parts::take_owner_and_mode(info, old_fd.get(), fd.get())) != 0) {
    ::unlink(file.temporary.c_str());
    return error;
  }
  file.device = info.st_dev;
  file.inode = info.st_ino;
  file.mtime_ns = mtime_ns(info);
  file.size = expected_size;
  index = staged_.size();
  staged_.push_back(file);
  return 0;
}

int StagedRewrites::overwrite_part(const std::string& name, uint64_t expected_size, uint64_t offset,
                                   const std::string& data) {
  InPlace write;
  write.fd = ::open(fs_name(name).c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
  if (write.fd < 0) return errno;
  Descriptor fd(write.fd);
  struct stat info;
  if (::fstat(fd.get(), &info) != 0) return errno;
  if (!S_ISREG(info.st_mode)) return EINVAL;
  if (static_cast<uint64_t>(info.st_size) != expected_size) return ESTALE;
  if (offset > expected_size || data.size() > expected_size - offset) return EINVAL;
  write.fd = ::fcntl(fd.get(), F_DUPFD_CLOEXEC, 0);
  if (write.fd < 0) return errno;
  write.offset = offset;
  write.data = data;
  in_place_.push_back(std::move(write));
  return 0;
}

int StagedRewrites::flush() {
  int first_error = 0;
  for (InPlace& write : in_place_) {
    size_t done = 0;
    while (done < write.data.size()) {
      const ssize_t n = ::pwrite(write.fd, write.data.data() + done, write.data.size() - done,
                                 static_cast<off_t>(write.offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        if (first_error == 0) first_error = n < 0 ? errno : EIO;
        break;
      }
      done += static_cast<size_t>(n);
    }
  }
  std::vector<int> fds;
  std::vector<int> errors;
  for (const InPlace& write : in_place_) {
    fds.push_back(write.fd);
    errors.push_back(0);
  }
  for (const Staged& file : staged_) {
    if (file.temporary.empty()) continue;
    const int fd = ::open(file.temporary.c_str(), O_RDONLY | O_CLOEXEC);
    fds.push_back(fd);
    errors.push_back(fd < 0 ? errno : 0);
  }
  flush_together(fds, errors);
  for (const int fd : fds) {
    if (fd >= 0) ::close(fd);
  }
  in_place_.clear();
  for (const int error : errors) {
    if (first_error == 0) first_error = error;
  }
  return first_error;
}

int StagedRewrites::commit(size_t index) {
  if (index >= staged_.size() || staged_[index].temporary.empty()) return EINVAL;
  Staged& file = staged_[index];
  struct stat info;
  // Another program may have written or replaced the file since: its
  // change wins, and the staged content goes.
  if (::lstat(file.target.c_str(), &info) != 0 || info.st_dev != file.device ||
      info.st_ino != file.inode || mtime_ns(info) != file.mtime_ns ||
      static_cast<uint64_t>(info.st_size) != file.size) {
    ::unlink(file.temporary.c_str());
    file.temporary.clear();
    return ESTALE;
  }
  const int replaced = ::open(file.target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (::rename(file.temporary.c_str(), file.target.c_str()) != 0) {
    const int error = errno;
    if (replaced >= 0) ::close(replaced);
    return error;
  }
  if (replaced >= 0) replaced_fds_.push_back(replaced);
  file.temporary.clear();
  note_folder(folder_of(file.target));
  return 0;
}

int StagedRewrites::flush_folders(const std::string& also) {
  note_folder(fs_name(also));
  int first_error = 0;
  for (const std::string& folder : changed_folders_) {
    const int error = flush_fs_folder(folder);
    if (error != 0 && first_error == 0) first_error = error;
  }
  changed_folders_.clear();
  return first_error;
}

int flush_folder(const std::string& folder) { return flush_fs_folder(fs_name(folder)); }

int remove_staged_leftovers() {
  DIR* folder = ::opendir(".");
  if (folder == nullptr) return 0;
  int removed = 0;
  while (const dirent* entry = ::readdir(folder)) {
    struct stat info;
    if (!is_leftover_name(entry->d_name) || writer_still_runs(entry->d_name)) continue;
    if (::fstatat(::dirfd(folder), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(info.st_mode)) continue;
    if (::unlinkat(::dirfd(folder), entry->d_name, 0) == 0) ++removed;
  }
  ::closedir(folder);
  return removed;
}

}  // namespace platform
