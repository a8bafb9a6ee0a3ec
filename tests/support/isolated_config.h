#pragma once
// Points XDG_CONFIG_HOME, XDG_CONFIG_DIRS, XDG_CACHE_HOME and XDG_STATE_HOME
// at a fresh temporary folder and unsets DISCOGS_TOKEN and PLINTH_API_URL
// while the object lives, so that a test never reads or writes the user's own
// registry file, settings, token, log or journal. The previous values come
// back when it goes.
#include <string>
#include <utility>
#include <vector>

#include "tests/support/temp_dir.h"

namespace test_support {

class IsolatedConfig {
 public:
  IsolatedConfig();
  ~IsolatedConfig();
  IsolatedConfig(const IsolatedConfig&) = delete;
  IsolatedConfig& operator=(const IsolatedConfig&) = delete;

  std::string config_home() const { return dir_.file("config"); }
  std::string system_config() const { return dir_.file("system"); }
  std::string cache_home() const { return dir_.file("cache"); }
  std::string state_home() const { return dir_.file("state"); }
  // config_home()/plinth/registry.reg, and the settings file beside it.
  std::string registry_path() const;
  std::string settings_path() const;

  // Writes the user's registry file with exactly these bytes.
  void write_registry(const std::string& bytes) const;
  // Writes a registry file whose settings path is `settings_file`.
  void register_settings(const std::string& settings_file) const;
  // Writes the settings file with exactly these bytes and registers it.
  void write_settings_file(const std::string& bytes) const;

 private:
  TempDir dir_;
  std::vector<std::pair<std::string, std::pair<bool, std::string>>> saved_;
};

}  // namespace test_support
