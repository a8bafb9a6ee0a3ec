#pragma once
// Where the database's REST API is and who asks it. The token goes to the
// base address's host only.
#include <string>

struct ApiConfig {
  std::string base;   // "https://api.discogs.com", without a trailing '/'
  std::string token;  // the personal access token; "" means the site's pages are read
  std::string user_agent;
};
