#include "platform/trace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace platform {
namespace {

std::string cache_folder() {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/plinth";
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "/tmp") + "/.cache/plinth";
}

void make_folders(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    mkdir(path.substr(0, slash).c_str(), 0755);
  }
  mkdir(path.c_str(), 0755);
}

// The log holds the names of the user's files, so it is the user's alone;
// a link or anything but a regular file under its name (planted there, say)
// is never followed or written through, and the lines then go to standard
// output as when there is no terminal.
FILE* open_log() {
  const int fd = ::open(trace_log_path().c_str(),
                        O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ::ftruncate(fd, 0) != 0 ||
      ::fchmod(fd, 0600) != 0) {
    ::close(fd);
    return nullptr;
  }
  FILE* log = ::fdopen(fd, "w");
  if (log == nullptr) ::close(fd);
  return log;
}

bool log_file_wanted = false;

FILE* open_sink() {
  if (!isatty(STDOUT_FILENO) && !log_file_wanted) return stdout;
  make_folders(cache_folder());
  FILE* log = open_log();
  return log != nullptr ? log : stdout;
}

FILE* sink() {
  static FILE* const file = open_sink();
  return file;
}

}  // namespace

// Buffered: a page reader writes a hundred lines, and a system call for each
// would cost more than the reading.
void trace(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(sink(), format, args);
  va_end(args);
}

bool standard_error_is_terminal() { return isatty(STDERR_FILENO) != 0; }

void trace_to_log_file() { log_file_wanted = true; }

void flush_trace() { std::fflush(sink()); }

std::string trace_log_path() { return cache_folder() + "/last-run.log"; }

}  // namespace platform
