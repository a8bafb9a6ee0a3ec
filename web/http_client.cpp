#include "web/http_client.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/http/http.h"

namespace {

bool part_fits(size_t from, size_t to) {
  return (to > from ? to - from : 0) < HttpClient::kUrlPartCapacity;
}

// The port as atol reads it: leading blanks, a sign, then digits.
bool port_in_range(const std::string& url, size_t from) {
  errno = 0;
  const long value = std::strtol(url.c_str() + from, nullptr, 10);
  return errno != ERANGE && value >= INT_MIN && value <= INT_MAX;
}

// Collects a body whole, up to kWholeBodyLimit; past it, too_large is set
// and the rest is not read.
platform::HttpBodySink whole_body_sink(std::string& body, bool& too_large) {
  return [&body, &too_large](const char* data, size_t size) {
    if (body.size() + size > HttpClient::kWholeBodyLimit) {
      too_large = true;
      return false;
    }
    body.append(data, size);
    return true;
  };
}

}  // namespace

// The buffers are only ever written as far as a response fills them, each
// followed by its zero byte: an untouched buffer takes no memory.
HttpClient::HttpClient() {
  body_[0] = '\0';
  headers_[0] = '\0';
}

HttpClient::~HttpClient() = default;

int HttpClient::SplitUrl(const std::string& url) {
  const size_t n = url.size();
  const size_t colon = std::min(url.find(':'), n);
  size_t host_start = 0;
  if (colon < n && colon + 1 < n && url[colon + 1] == '/') {
    if (!part_fits(0, colon)) return 0;
    host_start = std::min(colon + 3, n);
  }
  const size_t host_end = std::min(url.find('/', host_start), n);
  const size_t port_colon = url.find(':', host_start);
  if (port_colon < host_end) {
    if (!part_fits(host_start, port_colon) || !port_in_range(url, port_colon + 1)) return 0;
  } else if (!part_fits(host_start, host_end)) {
    return 0;
  }
  return part_fits(host_end, n) ? 1 : 0;
}

bool HttpClient::no_answer(const std::string& url, const std::string& reason) {
  failure_ = HttpFailure();
  failure_.kind = HttpFailure::kNoConnection;
  failure_.host = platform::url_host(url);
  failure_.reason = reason;
  return false;
}

bool HttpClient::failed(const std::string& url, const platform::HttpReply& reply, bool too_large) {
  failure_ = HttpFailure();
  failure_.host = platform::url_host(url);
  failure_.reason = reply.error;
  if (reply.end == platform::HttpEnd::kCancelled) {
    failure_.kind = HttpFailure::kCancelled;
    failure_.reason.clear();
  } else if (too_large) {
    failure_.kind = HttpFailure::kTooLarge;
    failure_.bytes = kWholeBodyLimit;
    failure_.reason.clear();
  } else if (reply.end == platform::HttpEnd::kTimedOut) {
    failure_.kind = HttpFailure::kTimedOut;
    failure_.seconds = reply.limit_seconds;
  } else if (reply.end == platform::HttpEnd::kCutOff) {
    failure_.kind = HttpFailure::kCutOff;
  } else if (reply.end == platform::HttpEnd::kNoConnection) {
    failure_.kind = HttpFailure::kNoConnection;
  }
  if (failure_.kind == HttpFailure::kNone) failure_ = HttpFailure();
  return failure_.kind != HttpFailure::kNone;
}

bool HttpClient::Request(const std::string& url, int method, const std::string& agent) {
  received = 0;
  status_ = 0;
  body_[0] = '\0';
  headers_[0] = '\0';
  failure_ = HttpFailure();
  if (method != kMethodGet || !SplitUrl(url))
    return no_answer(url, "the address cannot be requested");

  const auto keep = [this](const char* data, size_t size) {
    const size_t take = std::min(size, kBodyCapacity - received);
    std::memcpy(body_ + received, data, take);
    received += static_cast<uint32_t>(take);
    return received < kBodyCapacity;  // the rest of a longer body is not read
  };
  platform::HttpReply reply;
  platform::http_get(url, agent, keep, reply, limits_);
  body_[received] = '\0';
  // A page cut by a time limit or a broken connection would be read as if
  // it were whole; one cut at the capacity (the sink stopped) is read so.
  if (failed(url, reply, false)) return false;
  if (!reply.answered || reply.headers.empty()) return no_answer(url, "no answer came");
  keep_headers(reply.headers);
  status_ = reply.status;
  if (received == 0) return no_answer(url, "the answer was empty");
  return true;
}

void HttpClient::keep_headers(const std::string& headers) {
  const size_t bytes = std::min(headers.size(), kHeaderCapacity);
  std::memcpy(headers_, headers.data(), bytes);
  headers_[bytes] = '\0';
}

std::string HttpClient::BodyText() const { return std::string(body_, strnlen(body_, received)); }

bool HttpClient::RequestWhole(const std::string& url, const std::string& agent, std::string& body) {
  body.clear();
  failure_ = HttpFailure();
  if (!SplitUrl(url)) return no_answer(url, "the address cannot be requested");

  bool too_large = false;
  const platform::HttpBodySink keep = whole_body_sink(body, too_large);
  platform::HttpReply reply;
  platform::http_get(url, agent, keep, reply, limits_, platform::HttpVersion::k1_1);
  status_ = reply.status;
  const bool whole = !failed(url, reply, too_large) && reply.complete && reply.status >= 200 &&
                     reply.status < 300 && !body.empty();
  if (!whole) body.clear();
  return whole;
}

bool HttpClient::RequestWithHeaders(const std::string& url, const std::string& agent,
                                    const std::vector<std::string>& header_lines,
                                    std::string& body) {
  body.clear();
  status_ = 0;
  headers_[0] = '\0';
  failure_ = HttpFailure();
  if (!SplitUrl(url)) return no_answer(url, "the address cannot be requested");

  bool too_large = false;
  const platform::HttpBodySink keep = whole_body_sink(body, too_large);
  platform::HttpReply reply;
  const bool answered =
      platform::http_get_with_headers(url, agent, header_lines, keep, reply, limits_);
  keep_headers(reply.headers);
  status_ = reply.status;
  if (failed(url, reply, too_large) || !answered || !reply.complete) {
    if (failure_.kind == HttpFailure::kNone) no_answer(url, "no answer came");
    body.clear();
    return false;
  }
  return true;
}
