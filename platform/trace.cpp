#include "platform/trace.h"

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

bool log_file_wanted = false;

FILE* open_sink() {
  if (!isatty(STDOUT_FILENO) && !log_file_wanted) return stdout;
  const std::string folder = cache_folder();
  make_folders(folder);
  FILE* log = std::fopen(trace_log_path().c_str(), "w");
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
