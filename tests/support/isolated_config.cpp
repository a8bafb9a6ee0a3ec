#include "tests/support/isolated_config.h"

#include <cstdlib>
#include <filesystem>

#include "tests/support/mp3_files.h"

namespace test_support {
namespace {

std::string reg_escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out;
}

}  // namespace

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
  const char* old = std::getenv(name);
  had_value_ = old != nullptr;
  if (had_value_) old_value_ = old;
  if (value != nullptr) {
    setenv(name, value, 1);
  } else {
    unsetenv(name);
  }
}

ScopedEnv::~ScopedEnv() {
  if (had_value_) {
    setenv(name_.c_str(), old_value_.c_str(), 1);
  } else {
    unsetenv(name_.c_str());
  }
}

// The token and the API address too: a user's own token would send every
// lookup of the tests to the API.
IsolatedConfig::IsolatedConfig()
    : config_home_("XDG_CONFIG_HOME", config_home().c_str()),
      config_dirs_("XDG_CONFIG_DIRS", system_config().c_str()),
      cache_home_("XDG_CACHE_HOME", cache_home().c_str()),
      state_home_("XDG_STATE_HOME", state_home().c_str()),
      token_("DISCOGS_TOKEN", nullptr),
      api_url_("PLINTH_API_URL", nullptr) {
  std::filesystem::create_directories(config_home() + "/plinth");
  std::filesystem::create_directories(system_config());
  std::filesystem::create_directories(cache_home());
}

void IsolatedConfig::register_settings(const std::string& settings_file) const {
  write_registry(
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Varnel\\Plinth]\n"
      "\"Settings\"=\"" +
      reg_escaped(settings_file) + "\"\n");
}

void IsolatedConfig::write_settings_file(const std::string& bytes) const {
  write_file(settings_path(), bytes);
  register_settings(settings_path());
}

}  // namespace test_support
