#pragma once
// Restores the process's current folder when it goes: the run makes the
// processed folder current, and a test must not leave that behind.
#include <filesystem>

namespace test_support {

class KeepCurrentFolder {
 public:
  KeepCurrentFolder() : saved_(std::filesystem::current_path()) {}
  ~KeepCurrentFolder() {
    std::error_code ignored;
    std::filesystem::current_path(saved_, ignored);
  }
  KeepCurrentFolder(const KeepCurrentFolder&) = delete;
  KeepCurrentFolder& operator=(const KeepCurrentFolder&) = delete;

 private:
  std::filesystem::path saved_;
};

}  // namespace test_support
