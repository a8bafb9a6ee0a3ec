#include "platform/files/safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <system_error>
#include <thread>

#include "platform/codepage.h"
#include "platform/files/descriptor.h"
#include "platform/files/file_read.h"
#include "platform/files/folders.h"
#include "platform/files/moves.h"
#include "platform/files/safe_write_parts.h"
#include "platform/paths.h"

namespace platform {
namespace {

// The path of the file a name finally stands for: a symbolic link is
// followed, so that the link stays a link and its target gets the content.
int resolve(const std::string& path, Links links, std::string& resolved) {
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0) return errno;
  if (!S_ISLNK(info.st_mode)) {
    resolved = path;
    return 0;
  }
  if (links == Links::kRefuse) return ELOOP;
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return errno;
  resolved = real;
  std::free(real);
  return 0;
}

int write_at(int fd, const char* data, size_t size, uint64_t offset) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    done += static_cast<size_t>(n);
  }
  return 0;
}

// Asks the kernel to start writing what was just copied, so that the disk
// works while the rest is copied and the final fsync has little left to wait for.
void start_writeback(int fd, uint64_t offset, uint64_t length) {
  ::sync_file_range(fd, static_cast<off_t>(offset), static_cast<off_t>(length),
                    SYNC_FILE_RANGE_WRITE);
}

int copy_through_buffer(int from, uint64_t offset, uint64_t length, int to, uint64_t to_offset,
                        const FilePiece::Reader& reader = nullptr) {
  // Small enough to stay in the processor's cache while a reader looks at
  // it, and to add little to the program's memory; left unfilled, so that a
  // short piece touches no more of it than it needs.
  constexpr size_t kBufferSize = 64 << 10;
  const std::unique_ptr<char[]> buffer(new char[kBufferSize]);
  // The disk is asked to write in larger runs than one buffer.
  constexpr uint64_t kWritebackRun = 2 << 20;
  uint64_t unwritten_from = to_offset;
  while (length > 0) {
    const size_t want = length < kBufferSize ? static_cast<size_t>(length) : kBufferSize;
    const ssize_t n = ::pread(from, buffer.get(), want, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;  // the old file ended sooner than it said
    if (reader) reader(buffer.get(), static_cast<size_t>(n));
    const int error = write_at(to, buffer.get(), static_cast<size_t>(n), to_offset);
    if (error != 0) return error;
    offset += static_cast<uint64_t>(n);
    to_offset += static_cast<uint64_t>(n);
    length -= static_cast<uint64_t>(n);
    if (to_offset - unwritten_from >= kWritebackRun || length == 0) {
      start_writeback(to, unwritten_from, to_offset - unwritten_from);
      unwritten_from = to_offset;
    }
  }
  return 0;
}

// Copies in the kernel where the file system can (no trip through user
// memory; a shared extent on file systems that have them) and through a
// buffer where it cannot.
int copy_range(int from, uint64_t offset, uint64_t length, int to, uint64_t to_offset) {
  constexpr uint64_t kChunk = 2 << 20;
  while (length > 0) {
    loff_t in = static_cast<loff_t>(offset);
    loff_t out = static_cast<loff_t>(to_offset);
    const size_t want = static_cast<size_t>(length < kChunk ? length : kChunk);
    const ssize_t n = ::copy_file_range(from, &in, to, &out, want, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL)) {
      return copy_through_buffer(from, offset, length, to, to_offset);
    }
    if (n < 0) return errno;
    if (n == 0) return EIO;  // the old file ended sooner than it said
    start_writeback(to, to_offset, static_cast<uint64_t>(n));
    offset += static_cast<uint64_t>(n);
    to_offset += static_cast<uint64_t>(n);
    length -= static_cast<uint64_t>(n);
  }
  return 0;
}

int write_pieces(int old_fd, uint64_t old_size, const std::vector<FilePiece>& pieces, int fd) {
  uint64_t position = 0;
  for (const FilePiece& piece : pieces) {
    int error;
    if (piece.from_old) {
      if (piece.offset > old_size || piece.length > old_size - piece.offset) return EINVAL;
      error = piece.reader ? copy_through_buffer(old_fd, piece.offset, piece.length, fd, position,
                                                 piece.reader)
                           : copy_range(old_fd, piece.offset, piece.length, fd, position);
      position += piece.length;
    } else {
      error = write_at(fd, piece.data.data(), piece.data.size(), position);
      position += piece.data.size();
    }
    if (error != 0) return error;
  }
  return 0;
}

// Extended attributes (ACLs among them) go with the content; a file system
// that refuses one is no reason to give up the write.
void copy_extended_attributes(int from, int to) {
  const ssize_t size = ::flistxattr(from, nullptr, 0);
  if (size <= 0) return;
  std::string names(static_cast<size_t>(size), '\0');
  const ssize_t got = ::flistxattr(from, &names[0], names.size());
  if (got <= 0) return;
  names.resize(static_cast<size_t>(got));
  for (size_t start = 0; start < names.size();) {
    const std::string name = names.c_str() + start;
    start += name.size() + 1;
    const ssize_t length = ::fgetxattr(from, name.c_str(), nullptr, 0);
    if (length < 0) continue;
    std::string value(static_cast<size_t>(length), '\0');
    const ssize_t read = ::fgetxattr(from, name.c_str(), &value[0], value.size());
    if (read < 0) continue;
    ::fsetxattr(to, name.c_str(), value.data(), static_cast<size_t>(read), 0);
  }
}

int take_owner_and_mode(const struct stat& old_info, int old_fd, int fd) {
  struct stat info;
  if (::fstat(fd, &info) != 0) return errno;
  if ((info.st_uid != old_info.st_uid || info.st_gid != old_info.st_gid) &&
      ::fchown(fd, old_info.st_uid, old_info.st_gid) != 0) {
    return errno;  // the file would change hands: rather not write it
  }
  copy_extended_attributes(old_fd, fd);
  // After the owner: a change of owner clears the set-id bits.
  if (::fchmod(fd, old_info.st_mode & 07777) != 0) return errno;
  return 0;
}

// A new file in the folder. Unnamed where the file system allows it, so
// that a kill before it is complete leaves nothing behind.
class TempFile {
 public:
  TempFile(int folder_fd, const std::string& folder, mode_t mode)
      : folder_fd_(folder_fd), folder_(folder) {
    fd_.reset(::openat(folder_fd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
    if (fd_.get() >= 0) return;
    for (int attempt = 0; attempt < 100 && fd_.get() < 0; ++attempt) {
      const std::string name = candidate(attempt);
      fd_.reset(::openat(folder_fd, name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode));
      if (fd_.get() >= 0) name_ = name;
      if (fd_.get() < 0 && errno != EEXIST) break;
    }
    error_ = fd_.get() < 0 ? errno : 0;
  }
  ~TempFile() {
    if (!name_.empty()) ::unlinkat(folder_fd_, name_.c_str(), 0);
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int fd() const { return fd_.get(); }
  int error() const { return error_; }

  // Gives the finished file its name; never replaces an existing file.
  int link_as(const std::string& name) {
    if (name_.empty()) return link_unnamed(name);
    const int error = move_no_replace_fs(folder_ + "/" + name_, folder_ + "/" + name);
    if (error == 0) name_.clear();
    return error;
  }

  // Puts the finished file in place of the file of that name, atomically.
  int replace(const std::string& name) {
    if (name_.empty()) {
      for (int attempt = 0; attempt < 100 && name_.empty(); ++attempt) {
        const int error = link_unnamed(candidate(attempt));
        if (error == 0) name_ = candidate(attempt);
        if (error != 0 && error != EEXIST) return error;
      }
      if (name_.empty()) return EEXIST;
    }
    if (::renameat(folder_fd_, name_.c_str(), folder_fd_, name.c_str()) != 0) return errno;
    name_.clear();
    return 0;
  }

 private:
  std::string candidate(int attempt) const {
    return ".plinth-new-" + std::to_string(::getpid()) + "-" + std::to_string(attempt) + ".tmp";
  }

  int link_unnamed(const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_.get());
    if (::linkat(AT_FDCWD, self.c_str(), folder_fd_, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      return 0;
    }
    if (errno != ENOENT) return errno;  // no /proc: try the privileged way
    if (::linkat(fd_.get(), "", folder_fd_, name.c_str(), AT_EMPTY_PATH) == 0) return 0;
    return errno;
  }

  int folder_fd_;
  std::string folder_;
  Descriptor fd_;
  std::string name_;  // set while a named temporary file exists
  int error_ = 0;
};

int open_folder(const std::string& folder, Descriptor& fd) {
  fd.reset(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return fd.get() < 0 ? errno : 0;
}

int flush(int fd) { return ::fsync(fd) == 0 ? 0 : errno; }

// The last close of a replaced file frees its blocks and cached pages, a few
// milliseconds for a large file; the next file need not wait for that.
void close_in_background(int fd) {
  try {
    std::thread([fd] { ::close(fd); }).detach();
  } catch (const std::system_error&) {
    ::close(fd);
  }
}

}  // namespace

namespace safe_write_parts {

int resolve_link(const std::string& path, Links links, std::string& resolved) {
  return resolve(path, links, resolved);
}

int write_pieces(int old_fd, uint64_t old_size, const std::vector<FilePiece>& pieces, int fd) {
  return platform::write_pieces(old_fd, old_size, pieces, fd);
}

int take_owner_and_mode(const struct stat& old_info, int old_fd, int fd) {
  return platform::take_owner_and_mode(old_info, old_fd, fd);
}

}  // namespace safe_write_parts

FilePiece FilePiece::bytes(std::string data) {
  FilePiece piece;
  piece.data = std::move(data);
  return piece;
}

FilePiece FilePiece::old_range(uint64_t offset, uint64_t length, Reader reader) {
  FilePiece piece;
  piece.reader = std::move(reader);
  piece.from_old = true;
  piece.offset = offset;
  piece.length = length;
  return piece;
}

int rewrite_file(const std::string& name, uint64_t expected_size,
                 const std::vector<FilePiece>& pieces, Links links) {
  std::string path;
  int error = resolve(fs_name(name), links, path);
  if (error != 0) return error;
  const int no_follow = links == Links::kRefuse ? O_NOFOLLOW : 0;
  // Opened for writing although only read: a file the user may not change
  // (read-only, immutable) must not be replaced behind its back.
  Descriptor old_fd(::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | no_follow));
  if (old_fd.get() < 0) return errno;
  struct stat old_info;
  if (::fstat(old_fd.get(), &old_info) != 0) return errno;
  if (!S_ISREG(old_info.st_mode)) return EINVAL;
  if (static_cast<uint64_t>(old_info.st_size) != expected_size) return ESTALE;

  Descriptor folder_fd;
  const std::string folder = folder_of(path);
  if ((error = open_folder(folder, folder_fd)) != 0) return error;
  TempFile temp(folder_fd.get(), folder, 0600);
  if (temp.fd() < 0) return temp.error();
  if ((error = write_pieces(old_fd.get(), expected_size, pieces, temp.fd())) != 0) return error;
  if ((error = take_owner_and_mode(old_info, old_fd.get(), temp.fd())) != 0) return error;
  if ((error = flush(temp.fd())) != 0) return error;
  if ((error = temp.replace(base_of(path))) != 0) return error;
  close_in_background(old_fd.release());
  return flush(folder_fd.get());
}

int overwrite_file_part(const std::string& name, uint64_t expected_size, uint64_t offset,
                        const std::string& data, Links links) {
  const int no_follow = links == Links::kRefuse ? O_NOFOLLOW : 0;
  Descriptor fd(::open(fs_name(name).c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | no_follow));
  if (fd.get() < 0) return errno;
  struct stat info;
  if (::fstat(fd.get(), &info) != 0) return errno;
  if (!S_ISREG(info.st_mode)) return EINVAL;
  if (static_cast<uint64_t>(info.st_size) != expected_size) return ESTALE;
  if (offset > expected_size || data.size() > expected_size - offset) return EINVAL;
  const int error = write_at(fd.get(), data.data(), data.size(), offset);
  if (error != 0) return error;
  return ::fdatasync(fd.get()) == 0 ? 0 : errno;
}

int create_file_whole(const std::string& name, const std::string& data) {
  const std::string path = fs_name(name);
  Descriptor folder_fd;
  const std::string folder = folder_of(path);
  int error = open_folder(folder, folder_fd);
  if (error != 0) return error;
  TempFile temp(folder_fd.get(), folder, 0666);  // the umask applies, as for any new file
  if (temp.fd() < 0) return temp.error();
  if ((error = write_at(temp.fd(), data.data(), data.size(), 0)) != 0) return error;
  if ((error = flush(temp.fd())) != 0) return error;
  if ((error = temp.link_as(base_of(path))) != 0) return error;
  return flush(folder_fd.get());
}

int write_file_whole(const std::string& name, const std::string& data) {
  uint64_t size = 0;
  if (regular_file_size(name, size)) return rewrite_file(name, size, {FilePiece::bytes(data)});
  return create_file_whole(name, data);
}

}  // namespace platform
