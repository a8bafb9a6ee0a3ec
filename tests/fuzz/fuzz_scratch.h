#pragma once
// Shared by the targets that read files: a private scratch folder that the
// configuration and cache paths point into, a file in it to write each input
// to, and a front end that answers every message box at once.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/dialogs/front_end.h"

namespace fuzz {

class SilentFrontEnd : public platform::FrontEnd {
 public:
  int message_box(platform::Window*, const std::string&, const std::string&, unsigned) override {
    return platform::kAnswerOk;
  }
};

// Made once per process; never removed, so that a crash leaves the input there.
inline const std::string& scratch_folder() {
  static const std::string folder = [] {
    char name[] = "/tmp/plinth-fuzz-XXXXXX";
    const char* made = mkdtemp(name);
    if (made == nullptr) std::abort();
    const std::string path(made);
    setenv("XDG_CONFIG_HOME", (path + "/config").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (path + "/system").c_str(), 1);
    setenv("XDG_CACHE_HOME", (path + "/cache").c_str(), 1);
    static SilentFrontEnd silent;
    platform::set_front_end(&silent);
    return path;
  }();
  return folder;
}

inline std::string write_scratch_file(const std::string& name, const uint8_t* data, size_t size) {
  const std::string path = scratch_folder() + "/" + name;
  FILE* file = fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && fwrite(data, 1, size, file) != size) std::abort();
  fclose(file);
  return path;
}

}  // namespace fuzz
