#include "tests/support/run_checks.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "tests/support/temp_dir.h"

namespace test_support {

std::string shell_quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

bool has_line(const std::string& text, const std::string& line) {
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) {
    if (l == line) return true;
  }
  return false;
}

std::string show_tags(const std::string& file) {
  return run_command("/usr/bin/python3 " +
                     shell_quoted(std::string(PLINTH_SOURCE_DIR) + "/tools/show_tags.py") + " " +
                     shell_quoted(file));
}

std::vector<std::string> names_in(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::set<std::string> entries(const std::string& folder) {
  const std::vector<std::string> names = names_in(folder);
  return std::set<std::string>(names.begin(), names.end());
}

}  // namespace test_support
