#include "platform/shell.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace platform {

void xdg_open(const std::string& url) {
  // The child starts xdg-open in a grandchild and leaves at once, so the
  // browser is never our child and never a zombie, and the page does not
  // wait for it.
  const pid_t child = fork();
  if (child < 0) return;
  if (child == 0) {
    if (fork() == 0) {
      const int null = open("/dev/null", O_RDWR);
      if (null >= 0) {
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
      }
      execlp("xdg-open", "xdg-open", url.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
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
