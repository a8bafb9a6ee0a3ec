#pragma once
// Where lookups go: with a personal access token the database's REST API,
// without one the site's pages. The token is the environment variable
// DISCOGS_TOKEN or, when that is unset or empty, the first line of
// $XDG_CONFIG_HOME/plinth/discogs-token (~/.config/... without XDG_CONFIG_HOME).
// PLINTH_API_URL replaces the API's base address.
#include <string>

#include "web/api/api_client.h"

constexpr const char* kApiBase = "https://api.discogs.com";

// The token file's path as the program holds it (Windows-1252).
std::string token_file_path();
// What the environment and the token file say; the token is "" for none.
// A token that cannot be sent (it holds a control character, or the file's
// first line is longer than any token) is none, and `refusal` says so in
// one line that names where it came from; "" otherwise. Only the token
// file's first few KB are read.
ApiConfig api_config_from_environment(std::string& refusal);
// The same, for callers that have told the user already.
ApiConfig api_config_from_environment();
// "Plinth/<version> +http://<maker>": the API refuses vague user agents.
std::string api_user_agent();
// Stores the token in the token file with mode 0600, or removes the file for
// an empty text. 0 or an errno value.
int store_api_token(const std::string& token);
// Blanks, tabs and line ends off both ends.
std::string trimmed_token(const std::string& text);
