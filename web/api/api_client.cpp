#include "web/api/api_client.h"

#include <memory>
#include <vector>

#include "platform/codepage.h"
#include "platform/http/http.h"
#include "platform/trace.h"
#include "web/http_client.h"

namespace {

bool escaped_in_query_value(unsigned char byte) {
  return !platform::ascii_letter_or_digit(byte) && byte != '-' && byte != '.' && byte != '_' &&
         byte != '~';
}

// A header's number of seconds or requests; -1 when it is not a plain
// non-negative number (an HTTP date in Retry-After counts as absent).
int header_number(const std::string& value) {
  if (value.empty() || value.size() > 9) return -1;
  for (const char c : value) {
    if (c < '0' || c > '9') return -1;
  }
  return std::stoi(value);
}

}  // namespace

std::string header_value(const std::string& headers, const std::string& name) {
  const std::string wanted = platform::ascii_lower(name) + ":";
  size_t start = 0;
  while (start < headers.size()) {
    size_t end = headers.find('\n', start);
    if (end == std::string::npos) end = headers.size();
    const std::string line = headers.substr(start, end - start);
    if (platform::ascii_lower(line.substr(0, wanted.size())) == wanted) {
      const size_t first = line.find_first_not_of(" \t", wanted.size());
      const size_t last = line.find_last_not_of(" \t\r");
      return first == std::string::npos || last < first ? "" : line.substr(first, last - first + 1);
    }
    start = end + 1;
  }
  return "";
}

std::string api_query_value(const std::string& text) {
  return platform::percent_encode(platform::to_utf8(text), escaped_in_query_value);
}

ApiResponse api_get(const ApiConfig& config, const std::string& path) {
  const std::string url = config.base + path;
  platform::trace("API request: %s\n", url.c_str());
  const std::vector<std::string> header_lines = {"Accept: application/json",
                                                 "Authorization: Discogs token=" + config.token};
  // The client holds two large buffers; keep them off the stack.
  const auto client = std::make_unique<HttpClient>();
  ApiResponse response;
  response.answered =
      client->RequestWithHeaders(url, config.user_agent, header_lines, response.body);
  response.failure = client->Failure();
  response.status = client->Status();
  response.failure = client->Failure();
  response.failure.host = platform::url_host(url);  // also for an answer that is a refusal
  const std::string headers = client->Headers();
  response.retry_after = header_number(header_value(headers, "Retry-After"));
  response.remaining = header_number(header_value(headers, "X-Discogs-Ratelimit-Remaining"));
  response.limit = header_number(header_value(headers, "X-Discogs-Ratelimit"));
  platform::trace("API status: %d\n", response.status);
  return response;
}
