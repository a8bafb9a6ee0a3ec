#include "platform/files/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/codepage.h"

namespace platform {

bool read_at(int fd, uint64_t offset, uint64_t length, std::string& data) {
  data.assign(static_cast<size_t>(length), '\0');
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n =
        ::pread(fd, &data[done], data.size() - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  data.resize(done);
  return true;
}

void close_file(int fd) { ::close(fd); }

// O_NONBLOCK keeps a FIFO under the name from stalling the run.
int open_regular_file(const std::string& name, uint64_t& size, Links links) {
  const int no_follow = links == Links::kRefuse ? O_NOFOLLOW : 0;
  const int fd = ::open(fs_name(name).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | no_follow);
  if (fd < 0) return -1;
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return -1;
  }
  size = static_cast<uint64_t>(info.st_size);
  return fd;
}

bool regular_file_size(const std::string& name, uint64_t& size) {
  struct stat info;
  if (::stat(fs_name(name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  size = static_cast<uint64_t>(info.st_size);
  return true;
}

bool read_file_part(const std::string& name, uint64_t offset, uint64_t length, std::string& data) {
  uint64_t size = 0;
  const int fd = open_regular_file(name, size);
  if (fd < 0) return false;
  const uint64_t available = offset < size ? size - offset : 0;
  const bool ok = read_at(fd, offset, length < available ? length : available, data);
  ::close(fd);
  return ok;
}

bool read_whole_file(const std::string& name, std::string& data, Links links) {
  uint64_t size = 0;
  const int fd = open_regular_file(name, size, links);
  if (fd < 0) return false;
  const bool ok = read_at(fd, 0, size, data);
  ::close(fd);
  return ok;
}

}  // namespace platform
