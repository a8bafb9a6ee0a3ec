#pragma once
// Small helpers of the tests that run the program or part of it: quoting
// for the shell, and looking at what a run printed and left in a folder.
#include <set>
#include <string>
#include <vector>

namespace test_support {

// The text as one word for /bin/sh: in single quotes, any quote escaped.
std::string shell_quoted(const std::string& text);

// The lines of the text, and whether it has this line, whole.
std::vector<std::string> lines_of(const std::string& text);
bool has_line(const std::string& text, const std::string& line);

// An MP3 file's tags as an independent reader (mutagen, through
// tools/show_tags.py) sees them, a line each.
std::string show_tags(const std::string& file);

// The names of the entries of a folder, sorted.
std::vector<std::string> names_in(const std::string& folder);
// The same as a set, to compare with a list of the names expected.
inline std::set<std::string> entries(const std::string& folder) {
  const std::vector<std::string> names = names_in(folder);
  return {names.begin(), names.end()};
}

}  // namespace test_support
