#include "platform/files/state_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace platform {
namespace {

std::string state_home() {
  const char* xdg = std::getenv("XDG_STATE_HOME");
  if (xdg != nullptr && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "/tmp") + "/.local/state";
}

int make_folder(const std::string& path) {
  if (::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) return 0;
  return errno;
}

}  // namespace

int state_folder(const std::string& below, std::string& path) {
  path = state_home() + "/plinth/" + below;
  for (size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    make_folder(path.substr(0, slash));
  }
  const int error = make_folder(path);
  if (error != 0) return error;
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return errno;
  return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

std::vector<std::string> regular_files_in(const std::string& folder) {
  std::vector<std::string> names;
  DIR* listing = ::opendir(folder.c_str());
  if (listing == nullptr) return names;
  while (const dirent* entry = ::readdir(listing)) {
    struct stat info;
    if (::fstatat(::dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(info.st_mode)) {
      names.push_back(entry->d_name);
    }
  }
  ::closedir(listing);
  return names;
}

int remove_file(const std::string& path) { return ::unlink(path.c_str()) == 0 ? 0 : errno; }

int append_durably(const std::string& path, const std::string& data) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return errno;
  int error = 0;
  size_t done = 0;
  while (done < data.size() && error == 0) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) error = n < 0 ? errno : EIO;
    if (n > 0) done += static_cast<size_t>(n);
  }
  if (error == 0 && ::fdatasync(fd) != 0) error = errno;
  ::close(fd);
  return error;
}

std::string time_text(int64_t seconds, const char* format, bool local) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm parts{};
  if (local) {
    localtime_r(&time, &parts);
  } else {
    gmtime_r(&time, &parts);
  }
  char text[64];
  if (std::strftime(text, sizeof text, format, &parts) == 0) return "";
  return text;
}

}  // namespace platform
