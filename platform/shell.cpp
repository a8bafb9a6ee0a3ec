#include "platform/shell.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {
namespace {

// How long the page waits for the opener's verdict. An opener that is still
// running then has started a program that keeps it waiting (a browser's
// first window), so the address was opened.
constexpr int kVerdictMilliseconds = 2000;

void quiet_standard_files() {
  const int null = open("/dev/null", O_RDWR);
  if (null >= 0) {
    dup2(null, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
  }
}

// In the watcher: starts xdg-open, waits for it and writes its exit status
// (one byte) to the pipe.
[[noreturn]] void watch_opener(const std::string& url, int verdict) {
  const pid_t opener = fork();
  if (opener == 0) {
    execlp("xdg-open", "xdg-open", url.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  pid_t waited = -1;
  while (opener > 0 && (waited = waitpid(opener, &status, 0)) < 0 && errno == EINTR) {
  }
  const unsigned char code = waited > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : 127;
  if (write(verdict, &code, 1) < 0) _exit(1);
  _exit(0);
}

}  // namespace

bool xdg_open(const std::string& url) {
  // The child leaves at once and a watcher of its own starts xdg-open: the
  // browser is never our child nor a zombie, and the page waits only for
  // the verdict.
  int verdict[2];
  if (pipe2(verdict, O_CLOEXEC) != 0) return false;
  const pid_t child = fork();
  if (child < 0) {
    close(verdict[0]);
    close(verdict[1]);
    return false;
  }
  if (child == 0) {
    close(verdict[0]);
    if (fork() == 0) {
      quiet_standard_files();
      watch_opener(url, verdict[1]);
    }
    _exit(0);
  }
  close(verdict[1]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  pollfd wait_for{verdict[0], POLLIN, 0};
  int ready;
  while ((ready = poll(&wait_for, 1, kVerdictMilliseconds)) < 0 && errno == EINTR) {
  }
  unsigned char code = 0;
  const bool opened = ready == 0 || (ready > 0 && read(verdict[0], &code, 1) == 1 && code == 0);
  close(verdict[0]);
  return opened;
}

bool browser_available() {
  bool named = false;
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "BROWSER"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') named = true;
  }
  if (!named) return false;
  const char* path = std::getenv("PATH");
  const std::string folders = path != nullptr ? path : "/usr/bin:/bin";
  for (size_t begin = 0; begin <= folders.size();) {
    size_t end = folders.find(':', begin);
    if (end == std::string::npos) end = folders.size();
    const std::string folder = end > begin ? folders.substr(begin, end - begin) : ".";
    if (access((folder + "/xdg-open").c_str(), X_OK) == 0) return true;
    begin = end + 1;
  }
  return false;
}

}  // namespace platform
