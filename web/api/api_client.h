#pragma once
// Requests to the database's REST API: one GET per call, with the token,
// the program's user agent and "Accept: application/json". Fetch only: the
// caller decides what an answer means to the user.
#include <string>

#include "model/api_config.h"
#include "web/http_client.h"

struct ApiResponse {
  bool answered = false;  // a whole response arrived
  HttpFailure failure;    // why not, when it did not; its host is always set
  int status = 0;
  std::string body;      // UTF-8 JSON
  int retry_after = -1;  // seconds from Retry-After; -1 when absent
  int remaining = -1;    // X-Discogs-Ratelimit-Remaining; -1 when absent
  int limit = -1;        // X-Discogs-Ratelimit, requests a minute; -1 when absent
};

// GET base + path (path starts with '/' and carries its query).
ApiResponse api_get(const ApiConfig& config, const std::string& path);

// The value of a header in raw response header lines (name without regard
// to case, blanks around the value dropped); "" when absent.
std::string header_value(const std::string& headers, const std::string& name);

// Program text (Windows-1252 with the code page's escapes) as a query value:
// its UTF-8, every byte but letters, digits and "-._~" percent-encoded.
std::string api_query_value(const std::string& text);
