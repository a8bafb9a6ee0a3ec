#pragma once
// What Finish! leaves as it is because touching it would not be safe: names
// from the database that cannot be names in the folder, and files that are
// symbolic links or not regular files. Each is noted once, and each kind is
// told in one box at the end.
#include <string>
#include <vector>

class LeftAlone {
 public:
  // True, noting the name and why, when it cannot be a name in the folder.
  bool refuses_name(const std::string& name);
  // True, noting the name, when the entry is a link or not a regular file.
  bool odd_entry(const std::string& name);
  void tell_user() const;

 private:
  std::vector<std::string> refused_;  // "'name' (why)"
  std::vector<std::string> odd_;
};
