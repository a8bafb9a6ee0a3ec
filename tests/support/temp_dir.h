#pragma once
// A fresh folder under the system's temporary folder, removed with all it
// holds when the object goes. Tests work on copies made here.
#include <string>

namespace test_support {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Runs a command with /bin/sh and returns its standard output.
std::string run_command(const std::string& command, int* status = nullptr);

}  // namespace test_support
