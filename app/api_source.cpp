#include "app/api_source.h"

#include <cstdlib>

#include "app/menu_commands.h"
#include "platform/codepage.h"
#include "platform/file_read.h"
#include "platform/private_file.h"

namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? "" : value;
}

std::string first_line(const std::string& text) { return text.substr(0, text.find('\n')); }

}  // namespace

std::string trimmed_token(const std::string& text) {
  const char* const blanks = " \t\r\n";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string token_file_path() {
  std::string config = environment("XDG_CONFIG_HOME");
  if (config.empty()) config = environment("HOME") + "/.config";
  return platform::name_from_fs(config + "/plinth/discogs-token");
}

std::string api_user_agent() { return "Plinth/" PLINTH_VERSION " +http://" + maker_address(); }

ApiConfig api_config_from_environment() {
  ApiConfig config;
  config.user_agent = api_user_agent();
  config.base = environment("PLINTH_API_URL");
  if (config.base.empty()) config.base = kApiBase;
  while (!config.base.empty() && config.base.back() == '/') config.base.pop_back();
  config.token = trimmed_token(environment("DISCOGS_TOKEN"));
  std::string stored;
  if (config.token.empty() && platform::read_whole_file(token_file_path(), stored)) {
    config.token = trimmed_token(first_line(stored));
  }
  // A token goes into a header line: anything that could end the line or
  // smuggle another header makes it unusable.
  for (const char c : config.token) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      config.token.clear();
      break;
    }
  }
  return config;
}

int store_api_token(const std::string& token) {
  const std::string text = trimmed_token(token);
  if (text.empty()) return platform::remove_private_file(token_file_path());
  return platform::write_private_file(token_file_path(), text + "\n");
}
