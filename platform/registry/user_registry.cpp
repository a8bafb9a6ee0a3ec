#include "platform/registry/user_registry.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/codepage.h"
#include "platform/files/file_read.h"
#include "platform/files/safe_write.h"
#include "platform/registry/registry.h"

namespace platform {
namespace {

std::string quoted(const std::string& utf8) {
  std::string out = "\"";
  for (const char c : utf8) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

bool utf16_file(const std::string& bytes) {
  return bytes.size() >= 2 &&
         ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
}

}  // namespace

int make_user_config_folder() {
  const std::string folder = user_config_folder();
  if (folder.empty()) return ENOENT;
  for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    if (slash == std::string::npos) return 0;
  }
}

int set_user_registry_value(const std::string& root, const std::string& key_path,
                            const std::string& value_name, const std::string& value) {
  if (const int error = make_user_config_folder()) return error;
  const std::string file = name_from_fs(user_config_folder() + "/registry.reg");
  std::string bytes;
  if (!read_whole_file(file, bytes)) bytes = "Windows Registry Editor Version 5.00\n";
  // Text added to a UTF-16 file would not be read back.
  if (utf16_file(bytes)) return EILSEQ;
  if (!bytes.empty() && bytes.back() != '\n') bytes += '\n';
  // A later section of the same key adds to it, and a later value wins.
  bytes += "\n[" + to_utf8(root + "\\" + key_path) + "]\n" + quoted(to_utf8(value_name)) + "=" +
           quoted(to_utf8(value)) + "\n";
  return write_file_whole(file, bytes);
}

}  // namespace platform
