#pragma once
// One blocking GET per call; the body is kept in a fixed buffer inside the
// object, cut at its capacity. Each caller makes its own client; the
// connections are the platform's, shared by every client of the run.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/http/http.h"

// Why the last request brought no usable answer, in words a box can use.
struct HttpFailure {
  enum Kind {
    kNone,          // an answer arrived (whatever its status)
    kNoConnection,  // no answer: no connection, refused, reset, a redirect
                    // loop, an empty answer, an address that cannot be requested
    kTimedOut,      // a time limit ran out, before or during the answer
    kCutOff,        // the connection broke off part way through the answer
    kTooLarge,      // the answer was larger than the program takes
    kCancelled,     // the user stopped the wait for it
  };
  Kind kind = kNone;
  std::string host;    // the host asked, "www.discogs.com"
  std::string reason;  // the system's words for it, "Connection refused"; may be ""
  long seconds = 0;    // kTimedOut: the time limit that ran out
  size_t bytes = 0;    // kTooLarge: the most the program takes
};

class HttpClient {
 public:
  static constexpr size_t kBodyCapacity = 100000;
  static constexpr size_t kHeaderCapacity = 100000;
  static constexpr size_t kUrlPartCapacity = 1024;  // scheme, host, path
  // The request kind of Request: the program only ever reads.
  static constexpr int kMethodGet = 1;
  // RequestWhole gives up on bodies larger than this.
  static constexpr size_t kWholeBodyLimit = 64u * 1024u * 1024u;

  HttpClient();
  virtual ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  // How long each request may take; the platform's limits unless set.
  void set_limits(const platform::HttpLimits& limits) { limits_ = limits; }

  // True when a response with a non-empty body arrived, whatever its status.
  // A body longer than the capacity is cut there and still counts; one cut
  // by a time limit or a broken connection does not. False for
  // a URL whose scheme, host or path does not fit its 1023 bytes.
  bool Request(const std::string& url, int method, const std::string& agent);
  // The body of the last response, zero-terminated within its capacity; its
  // first `received` bytes are the body.
  const char* Body() const { return body_; }
  // The body as text: up to its first zero byte, never beyond `received`.
  std::string BodyText() const;
  // The raw header lines of the last response, CR LF ends.
  const char* Headers() const { return headers_; }

  // The whole body of a complete response with a 2xx status, not cut at the
  // buffer's capacity, over HTTP/1.1 (a picture: its connection may carry
  // the next request); false (and an empty body) for anything else: no
  // answer, an error status, a response cut short, an empty body, or one
  // over kWholeBodyLimit. Leaves Body() and `received` alone.
  bool RequestWhole(const std::string& url, const std::string& agent, std::string& body);

  // A GET with the caller's header lines (the database API's), not cut at
  // the buffer's capacity: the whole body of any status up to
  // kWholeBodyLimit. False when no answer arrived or the body was cut short.
  // Status() and Headers() then describe the response.
  bool RequestWithHeaders(const std::string& url, const std::string& agent,
                          const std::vector<std::string>& header_lines, std::string& body);

  // The status code of the last response; 0 when none arrived.
  int Status() const { return status_; }
  // Why the last request of any kind failed; kind kNone when it did not.
  const HttpFailure& Failure() const { return failure_; }

  uint32_t received = 0;  // body bytes of the last Request

  // Whether the URL can be requested: 1 when its scheme (before ":/"), host
  // and path (from the first '/' behind the host, query included) each fit
  // in kUrlPartCapacity - 1 bytes and a ":port" behind the host is a number
  // in range; 0 otherwise.
  static int SplitUrl(const std::string& url);

 private:
  // The header lines, cut at kHeaderCapacity, zero-terminated.
  void keep_headers(const std::string& headers);
  // Sets failure_ from how the request ended; true when it failed.
  bool failed(const std::string& url, const platform::HttpReply& reply, bool too_large);
  // Sets failure_ to kNoConnection for that reason; false, for the caller to return.
  bool no_answer(const std::string& url, const std::string& reason);

  char body_[kBodyCapacity + 1];
  char headers_[kHeaderCapacity + 1];
  platform::HttpLimits limits_;
  int status_ = 0;
  HttpFailure failure_;
};
