#include "platform/files/installed_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <vector>

#include "platform/http/http.h"
#include "platform/paths.h"

namespace platform {
namespace {

bool plain_in_path(unsigned char byte) {
  return std::isalnum(byte) || (byte != 0 && std::strchr("/-._~", byte) != nullptr);
}

}  // namespace

std::string program_folder() {
  std::vector<char> path(4096);
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (length <= 0) return ".";
  return folder_of(std::string(path.data(), static_cast<size_t>(length)));
}

std::string installed_doc_file(const std::string& name) {
  const std::string folder = program_folder();  // <prefix>/bin, or the build
  const std::string prefix = folder_of(folder);
  for (const std::string& path :
       {prefix + "/" PLINTH_INSTALL_DOCDIR "/" + name, folder + "/" + name}) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return path;
  }
  return "";
}

std::string installed_doc_url(const std::string& name) {
  const std::string path = installed_doc_file(name);
  if (path.empty()) return "";
  return "file://" + percent_encode(path, [](unsigned char byte) { return !plain_in_path(byte); });
}

}  // namespace platform
