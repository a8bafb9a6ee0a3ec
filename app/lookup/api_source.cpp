#include "app/lookup/api_source.h"

#include <cstdlib>

#include "app/pages/menu_commands.h"
#include "platform/codepage.h"
#include "platform/files/file_read.h"
#include "platform/files/private_file.h"
#include "platform/registry/registry.h"

namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? "" : value;
}

// A token is some forty characters; the file is read no further than this,
// however large it has grown.
constexpr size_t kMostTokenFileLine = 4096;

// The token file's first line; "" when there is no file. A first line
// longer than any token is refused.
std::string token_file_line(std::string& refusal) {
  std::string start;
  if (!platform::read_file_part(token_file_path(), 0, kMostTokenFileLine + 1, start)) return "";
  const size_t end = start.find('\n');
  if (end == std::string::npos && start.size() > kMostTokenFileLine) {
    refusal = "The first line of the token file " + token_file_path() + " is longer than " +
              std::to_string(kMostTokenFileLine) + " bytes, so it holds no token.";
    return "";
  }
  return start.substr(0, end);
}

// A token goes into a header line: anything that could end the line or
// smuggle another header makes it unusable.
bool has_control_character(const std::string& token) {
  for (const char c : token) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  }
  return false;
}

}  // namespace

std::string trimmed_token(const std::string& text) {
  const char* const blanks = " \t\r\n";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Beside the registry file, by the same rules: a relative XDG_CONFIG_HOME
// counts for nothing, and without a home there is no token file.
std::string token_file_path() {
  const std::string folder = platform::user_config_folder();
  return folder.empty() ? "" : platform::name_from_fs(folder + "/discogs-token");
}

std::string api_user_agent() { return "Plinth/" PLINTH_VERSION " +http://" + maker_address(); }

ApiConfig api_config_from_environment(std::string& refusal) {
  refusal.clear();
  ApiConfig config;
  config.user_agent = api_user_agent();
  config.base = environment("PLINTH_API_URL");
  if (config.base.empty()) config.base = kApiBase;
  while (!config.base.empty() && config.base.back() == '/') config.base.pop_back();
  config.token = trimmed_token(environment("DISCOGS_TOKEN"));
  std::string source = "the environment variable DISCOGS_TOKEN";
  if (config.token.empty()) {
    config.token = trimmed_token(token_file_line(refusal));
    source = "the token file " + token_file_path();
  }
  if (has_control_character(config.token)) {
    config.token.clear();
    refusal = "The database token in " + source +
              " holds a control character, so it cannot be sent and was not used.";
  }
  return config;
}

ApiConfig api_config_from_environment() {
  std::string refusal;
  return api_config_from_environment(refusal);
}

int store_api_token(const std::string& token) {
  const std::string text = trimmed_token(token);
  if (text.empty()) return platform::remove_private_file(token_file_path());
  return platform::write_private_file(token_file_path(), text + "\n");
}
