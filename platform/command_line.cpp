#include "platform/command_line.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "platform/codepage.h"

namespace platform {
namespace {

// argc alone says where the arguments end: not every caller ends argv with null.
std::string joined(int argc, const char* const* argv, int first) {
  std::string line;
  for (int i = first; i < argc; ++i) {
    if (i > first) line += ' ';
    line += argv[i];
  }
  return line;
}

std::string current_folder() {
  std::vector<char> buffer(4096);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (buffer.size() > (1u << 20)) return "";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

}  // namespace

std::string command_line(int argc, const char* const* argv) {
  return name_from_fs(joined(argc, argv, 0));
}

std::string folder_argument(int argc, const char* const* argv) {
  // "--" ends the options; whatever follows is the folder.
  const int first = argc > 1 && argv[1] != nullptr && std::strcmp(argv[1], "--") == 0 ? 2 : 1;
  const std::string as_given = joined(argc, argv, first);
  const std::string current = current_folder();
  // A name that holds double quotes is taken as it stands when that folder
  // is there; otherwise the quotes are a shell's, left in by a launcher.
  if (as_given.find('"') != std::string::npos && (as_given[0] == '/' || !current.empty())) {
    const std::string folder = absolute_folder(as_given, current);
    struct stat info;
    if (stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return name_from_fs(folder);
  }
  std::string argument;
  for (char c : as_given) {
    if (c != '"') argument += c;
  }
  if (argument.empty()) return "";
  // Without a current folder a relative path names nothing; it is kept as
  // it is so that making it current fails and the user is told.
  if (argument[0] != '/' && current.empty()) return name_from_fs(argument);
  return name_from_fs(absolute_folder(argument, current));
}

std::string absolute_folder(const std::string& path, const std::string& current) {
  const std::string full = !path.empty() && path[0] == '/' ? path : current + "/" + path;
  std::vector<std::string> parts;
  size_t begin = 0;
  while (begin <= full.size()) {
    size_t end = full.find('/', begin);
    if (end == std::string::npos) end = full.size();
    const std::string part = full.substr(begin, end - begin);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    begin = end + 1;
  }
  std::string result;
  for (const std::string& part : parts) result += "/" + part;
  return result.empty() ? "/" : result;
}

}  // namespace platform
