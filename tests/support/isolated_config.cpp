#include "tests/support/isolated_config.h"

#include <cstdlib>
#include <filesystem>

#include "tests/support/mp3_files.h"

namespace test_support {
namespace {

// The token and the API address too: a user's own token would send every
// lookup of the tests to the API.
const char* const kVariables[] = {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_CACHE_HOME",
                                  "XDG_STATE_HOME", "DISCOGS_TOKEN", "PLINTH_API_URL"};

std::string reg_escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out;
}

}  // namespace

IsolatedConfig::IsolatedConfig() {
  for (const char* name : kVariables) {
    const char* value = std::getenv(name);
    saved_.push_back({name, {value != nullptr, value != nullptr ? value : ""}});
  }
  std::filesystem::create_directories(config_home() + "/plinth");
  std::filesystem::create_directories(system_config());
  std::filesystem::create_directories(cache_home());
  setenv("XDG_CONFIG_HOME", config_home().c_str(), 1);
  setenv("XDG_CONFIG_DIRS", system_config().c_str(), 1);
  setenv("XDG_CACHE_HOME", cache_home().c_str(), 1);
  setenv("XDG_STATE_HOME", state_home().c_str(), 1);
  unsetenv("DISCOGS_TOKEN");
  unsetenv("PLINTH_API_URL");
}

IsolatedConfig::~IsolatedConfig() {
  for (const auto& [name, value] : saved_) {
    if (value.first) {
      setenv(name.c_str(), value.second.c_str(), 1);
    } else {
      unsetenv(name.c_str());
    }
  }
}

std::string IsolatedConfig::registry_path() const { return config_home() + "/plinth/registry.reg"; }

std::string IsolatedConfig::settings_path() const { return config_home() + "/plinth/settings.xml"; }

void IsolatedConfig::write_registry(const std::string& bytes) const {
  write_file(registry_path(), bytes);
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
