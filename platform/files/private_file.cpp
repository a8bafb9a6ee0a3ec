#include "platform/files/private_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/codepage.h"

namespace platform {
namespace {

// Creates every missing folder on the way to the file.
int make_parent_folders(const std::string& fs_path) {
  for (size_t slash = fs_path.find('/', 1); slash != std::string::npos;
       slash = fs_path.find('/', slash + 1)) {
    if (mkdir(fs_path.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST) return errno;
  }
  return 0;
}

int write_all(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    done += static_cast<size_t>(n);
  }
  return fsync(fd) == 0 ? 0 : errno;
}

}  // namespace

int write_private_file(const std::string& path, const std::string& data) {
  const std::string target = fs_name(path);
  if (const int error = make_parent_folders(target)) return error;
  const std::string temporary = target + ".new";
  unlink(temporary.c_str());
  const int fd =
      open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return errno;
  int error = fchmod(fd, 0600) == 0 ? write_all(fd, data) : errno;
  if (close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && rename(temporary.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) unlink(temporary.c_str());
  return error;
}

int remove_private_file(const std::string& path) {
  if (unlink(fs_name(path).c_str()) != 0 && errno != ENOENT) return errno;
  return 0;
}

}  // namespace platform
