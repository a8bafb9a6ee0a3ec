#include "platform/registry/registry.h"

#include <cstdlib>

#include "platform/codepage.h"
#include "platform/files/file_read.h"

namespace platform {
namespace {

// A registry file is a few lines; anything far larger is not one (or is a
// device) and is not read.
const size_t kMaxFileSize = 1 << 20;

// UTF-16 after its byte-order mark to UTF-8; a lone surrogate or an odd
// last byte becomes U+FFFD.
std::string utf16_to_utf8(const std::string& bytes, size_t begin, bool big_endian) {
  auto unit_at = [&](size_t i) {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    return static_cast<char32_t>(big_endian ? (a << 8) | b : (b << 8) | a);
  };
  std::string out;
  size_t i = begin;
  for (; i + 1 < bytes.size(); i += 2) {
    const char32_t unit = unit_at(i);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
      const char32_t low = unit_at(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        append_utf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    append_utf8(out, unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit);
  }
  if (i < bytes.size()) append_utf8(out, 0xFFFD);
  return out;
}

std::string as_utf8(const std::string& bytes) {
  if (bytes.compare(0, 2, "\xFF\xFE") == 0) return utf16_to_utf8(bytes, 2, false);
  if (bytes.compare(0, 2, "\xFE\xFF") == 0) return utf16_to_utf8(bytes, 2, true);
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return bytes.substr(3);
  return bytes;
}

// Reads a quoted string at line[pos] (which is '"'); on success sets text
// and pos to just after the closing quote.
bool read_quoted(const std::string& line, size_t& pos, std::string& text) {
  text.clear();
  for (size_t i = pos + 1; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') {
      pos = i + 1;
      return true;
    }
    if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '\\' || line[i + 1] == '"')) {
      text += line[++i];
    } else {
      text += c;
    }
  }
  return false;
}

// `"name"="text"` or `@="text"`; other value kinds (dword:, hex:, deletions)
// are not strings and are skipped.
bool read_string_value(const std::string& line, std::string& name, std::string& text) {
  size_t pos = 0;
  if (line[0] == '@') {
    name.clear();
    pos = 1;
  } else if (!read_quoted(line, pos, name)) {
    return false;
  }
  while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
  if (pos >= line.size() || line[pos] != '=') return false;
  ++pos;
  while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
  if (pos >= line.size() || line[pos] != '"') return false;
  return read_quoted(line, pos, text);
}

std::string trimmed(const std::string& line) {
  const size_t begin = line.find_first_not_of(" \t\r");
  if (begin == std::string::npos) return "";
  return line.substr(begin, line.find_last_not_of(" \t\r") - begin + 1);
}

// Opened as every other file the program reads: a FIFO or a device under
// the name is passed over instead of blocking the run before it starts.
bool read_file(const std::string& path, std::string& bytes) {
  return read_file_part(name_from_fs(path), 0, kMaxFileSize + 1, bytes) &&
         bytes.size() <= kMaxFileSize;
}

std::string config_home() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.config";
  return "";
}

}  // namespace

RegistryValues parse_registry_export(const std::string& bytes) {
  RegistryValues keys;
  const std::string text = as_utf8(bytes);
  std::map<std::string, std::string>* current = nullptr;
  size_t begin = 0;
  while (begin < text.size()) {
    size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    const std::string line = trimmed(text.substr(begin, end - begin));
    begin = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      const size_t close = line.rfind(']');
      const bool deletion = line.size() > 1 && line[1] == '-';
      if (close == std::string::npos || close < 2 || deletion) {
        current = nullptr;
        continue;
      }
      current = &keys[ascii_lower(line.substr(1, close - 1))];
      continue;
    }
    std::string name, value;
    if (current != nullptr && read_string_value(line, name, value)) {
      (*current)[ascii_lower(name)] = value;
    }
  }
  return keys;
}

std::string user_config_folder() {
  const std::string home = config_home();
  return home.empty() ? home : home + "/plinth";
}

std::vector<std::string> registry_file_paths() {
  std::vector<std::string> paths;
  const std::string mine = user_config_folder();
  if (!mine.empty()) paths.push_back(mine + "/registry.reg");
  const char* dirs = std::getenv("XDG_CONFIG_DIRS");
  const std::string list = dirs != nullptr && dirs[0] != '\0' ? dirs : "/etc/xdg";
  size_t begin = 0;
  while (begin <= list.size()) {
    size_t end = list.find(':', begin);
    if (end == std::string::npos) end = list.size();
    const std::string dir = list.substr(begin, end - begin);
    if (!dir.empty() && dir[0] == '/') paths.push_back(dir + "/plinth/registry.reg");
    begin = end + 1;
  }
  return paths;
}

RegistryRead read_registry_value(const std::string& root, const std::string& key_path,
                                 const std::string& value_name, std::string& value,
                                 std::string* from_file) {
  const std::string key = ascii_lower(to_utf8(root + "\\" + key_path));
  const std::string name = ascii_lower(to_utf8(value_name));
  bool key_seen = false;
  for (const std::string& path : registry_file_paths()) {
    if (from_file != nullptr) *from_file = path;
    std::string bytes;
    if (!read_file(path, bytes)) continue;
    const RegistryValues keys = parse_registry_export(bytes);
    const auto found_key = keys.find(key);
    if (found_key == keys.end()) continue;
    key_seen = true;
    const auto found_value = found_key->second.find(name);
    if (found_value == found_key->second.end()) continue;
    // The value is usually a path, so it takes the reversible name form.
    value = name_from_fs(found_value->second);
    return RegistryRead::kFound;
  }
  return key_seen ? RegistryRead::kNoValue : RegistryRead::kNoKey;
}

}  // namespace platform
