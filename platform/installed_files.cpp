#include "platform/installed_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstring>

namespace platform {

std::string installed_doc_file(const std::string& name) {
  char exe[4096];
  const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (length <= 0) return "";
  std::string prefix(exe, static_cast<size_t>(length));
  for (int up = 0; up < 2; ++up) {  // <prefix>/bin/plinth
    const size_t slash = prefix.rfind('/');
    if (slash == std::string::npos) return "";
    prefix.resize(slash);
  }
  const std::string path = prefix + "/" PLINTH_INSTALL_DOCDIR "/" + name;
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? path : "";
}

std::string installed_doc_url(const std::string& name) {
  static const char kHex[] = "0123456789ABCDEF";
  const std::string path = installed_doc_file(name);
  if (path.empty()) return "";
  std::string url = "file://";
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) || std::strchr("/-._~", c) != nullptr) {
      url += c;
    } else {
      url += '%';
      url += kHex[byte >> 4];
      url += kHex[byte & 0x0F];
    }
  }
  return url;
}

}  // namespace platform
