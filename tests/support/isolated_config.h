#pragma once
// Points XDG_CONFIG_HOME, XDG_CONFIG_DIRS, XDG_CACHE_HOME and XDG_STATE_HOME
// at a fresh temporary folder and unsets DISCOGS_TOKEN and PLINTH_API_URL
// while the object lives, so that a test never reads or writes the user's own
// registry file, settings, token, log or journal. The previous values come
// back when it goes.
#include <string>

#include "tests/support/mp3_files.h"
#include "tests/support/temp_dir.h"

namespace test_support {

// Sets (or, with nullptr, unsets) an environment variable for the lifetime
// of the object and puts the old value back afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  bool had_value_ = false;
  std::string old_value_;
};

class IsolatedConfig {
 public:
  IsolatedConfig();
  IsolatedConfig(const IsolatedConfig&) = delete;
  IsolatedConfig& operator=(const IsolatedConfig&) = delete;

  std::string config_home() const { return dir_.file("config"); }
  std::string system_config() const { return dir_.file("system"); }
  std::string cache_home() const { return dir_.file("cache"); }
  std::string state_home() const { return dir_.file("state"); }
  // config_home()/plinth/registry.reg, and the settings file beside it.
  std::string registry_path() const { return config_home() + "/plinth/registry.reg"; }
  std::string settings_path() const { return config_home() + "/plinth/settings.xml"; }

  // Writes the user's registry file with exactly these bytes.
  void write_registry(const std::string& bytes) const { write_file(registry_path(), bytes); }
  // Writes a registry file whose settings path is `settings_file`.
  void register_settings(const std::string& settings_file) const;
  // Writes the settings file with exactly these bytes and registers it.
  void write_settings_file(const std::string& bytes) const;

 private:
  TempDir dir_;
  ScopedEnv config_home_, config_dirs_, cache_home_, state_home_, token_, api_url_;
};

}  // namespace test_support
