#include "web/http_client.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/http.h"

namespace {

// Values of HttpClient's last error.
constexpr uint32_t kErrorBadUrl = 1;
constexpr uint32_t kErrorOffline = 2;
constexpr uint32_t kErrorUnsupportedMethod = 3;
constexpr uint32_t kErrorNoResponse = 4;
constexpr uint32_t kErrorNoHeaders = 5;
constexpr uint32_t kErrorEmptyBody = 6;

// Copies url[from, to) into a part buffer; false when it does not fit.
bool copy_part(const std::string& url, size_t from, size_t to, char* part) {
  const size_t length = to > from ? to - from : 0;
  if (length >= HttpClient::kUrlPartCapacity) return false;
  std::memcpy(part, url.data() + from, length);
  part[length] = '\0';
  return true;
}

// The port as atol reads it: leading blanks, a sign, then digits.
bool read_port(const std::string& url, size_t from, int& port) {
  errno = 0;
  const long value = std::strtol(url.c_str() + from, nullptr, 10);
  if (errno == ERANGE || value < INT_MIN || value > INT_MAX) return false;
  port = static_cast<int>(value);
  return true;
}

}  // namespace

HttpClient::HttpClient() {
  std::memset(body_, 0, sizeof body_);
  std::memset(headers_, 0, sizeof headers_);
}

HttpClient::~HttpClient() = default;

int HttpClient::SplitUrl(const std::string& url, char* scheme, char* host, int& port,
                         char* path) {
  const size_t n = url.size();
  const size_t colon = std::min(url.find(':'), n);
  size_t host_start = 0;
  if (colon < n && colon + 1 < n && url[colon + 1] == '/') {
    if (!copy_part(url, 0, colon, scheme)) return 0;
    host_start = std::min(colon + 3, n);
  } else {
    std::strcpy(scheme, "http");
  }
  const size_t host_end = std::min(url.find('/', host_start), n);
  const size_t port_colon = url.find(':', host_start);
  if (port_colon < host_end) {
    if (!copy_part(url, host_start, port_colon, host)) return 0;
    if (!read_port(url, port_colon + 1, port)) return 0;
  } else {
    if (!copy_part(url, host_start, host_end, host)) return 0;
    port = std::strcmp(scheme, "https") == 0 ? 443 : 80;
  }
  if (!copy_part(url, host_end, n, path)) return 0;
  return 1;
}

bool HttpClient::Request(const std::string& url, int method, const std::string& agent) {
  char scheme[kUrlPartCapacity] = {};
  char host[kUrlPartCapacity] = {};
  char path[kUrlPartCapacity] = {};
  int port = 0;
  received = 0;
  std::memset(body_, 0, sizeof body_);
  std::memset(headers_, 0, sizeof headers_);
  if (!SplitUrl(url, scheme, host, port, path)) {
    last_error_ = kErrorBadUrl;
    return false;
  }
  if (!platform::network_available()) {
    last_error_ = kErrorOffline;
    return false;
  }
  // No caller posts anything, so the two POST kinds were never built.
  if (method == kMethodFormPost || method == kMethodMultipartPost) {
    last_error_ = kErrorUnsupportedMethod;
    return false;
  }

  const auto keep = [this](const char* data, size_t size) {
    const size_t take = std::min(size, kBodyCapacity - received);
    std::memcpy(body_ + received, data, take);
    received += static_cast<uint32_t>(take);
    return received < kBodyCapacity;  // the rest of a longer body is not read
  };
  platform::HttpReply reply;
  if (!platform::http_get(url, agent, keep, reply)) {
    last_error_ = kErrorNoResponse;
    return false;
  }
  if (reply.headers.empty()) {
    last_error_ = kErrorNoHeaders;
    return false;
  }
  const size_t header_bytes = std::min(reply.headers.size(), kHeaderCapacity);
  std::memcpy(headers_, reply.headers.data(), header_bytes);
  if (received == 0) {
    last_error_ = kErrorEmptyBody;
    return false;
  }
  return true;
}

std::string HttpClient::BodyText() const {
  return std::string(body_, strnlen(body_, received));
}

bool HttpClient::RequestWhole(const std::string& url, const std::string& agent,
                              std::string& body) {
  body.clear();
  char scheme[kUrlPartCapacity] = {};
  char host[kUrlPartCapacity] = {};
  char path[kUrlPartCapacity] = {};
  int port = 0;
  if (!SplitUrl(url, scheme, host, port, path) || !platform::network_available()) return false;

  bool too_large = false;
  const auto keep = [&body, &too_large](const char* data, size_t size) {
    if (body.size() + size > kWholeBodyLimit) {
      too_large = true;
      return false;
    }
    body.append(data, size);
    return true;
  };
  platform::HttpReply reply;
  const bool whole = platform::http_get(url, agent, keep, reply) && reply.complete &&
                     !too_large && reply.status >= 200 && reply.status < 300 && !body.empty();
  if (!whole) body.clear();
  return whole;
}
