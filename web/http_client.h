#pragma once
// One blocking GET per call; the body is kept in a fixed buffer inside the
// object, cut at its capacity. Each caller makes its own client.
#include <cstddef>
#include <cstdint>
#include <string>

class HttpClient {
 public:
  static constexpr size_t kBodyCapacity = 100000;
  static constexpr size_t kHeaderCapacity = 100000;
  static constexpr size_t kUrlPartCapacity = 1024;  // scheme, host, path
  static constexpr int kMethodGet = 1;

  HttpClient();
  virtual ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  // True when a response with a non-empty body arrived (any status).
  bool Request(const std::string& url, int method, const std::string& agent);
  // The body of the last response, zero-terminated within its capacity.
  const char* Body() const { return body_; }
  // The raw response headers of the last response.
  const char* Headers() const { return headers_; }

  // The whole body of a complete response with a 2xx status, not cut at the
  // buffer's capacity; false for anything else (error page, cut response).
  bool RequestWhole(const std::string& url, const std::string& agent, std::string& body);

  uint32_t received = 0;  // body bytes of the last Request

  // Splits a URL the way the request does; exposed for its tests.
  static int SplitUrl(const std::string& url, char* scheme, char* host, int& port, char* path);

 private:
  char body_[kBodyCapacity + 1];
  char headers_[kHeaderCapacity + 1];
  uint32_t last_error_ = 0;
};
