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

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool has_line(const std::string& text, const std::string& line) {
  const std::vector<std::string> lines = lines_of(text);
  return std::find(lines.begin(), lines.end(), line) != lines.end();
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

}  // namespace test_support
