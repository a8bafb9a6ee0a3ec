#pragma once
// The platform's HTTP service: one blocking GET at a time. HTTP/1.0 unless
// the caller asks for HTTP/1.1, the caller's user agent, "Accept: */*",
// redirects followed a few times, TLS certificates verified, and the proxy
// the user configured in http_proxy, https_proxy and no_proxy. A dead,
// stalled or trickling server is given up on (HttpLimits) so that it never
// hangs the wizard. HTTP/1.1 requests of a run to the same server (or
// through the same proxy) share one connection.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// How long one GET may take. A server that sends less than one byte a
// second for stall_seconds is dead; even a trickling one gets no more than
// total_seconds.
struct HttpLimits {
  long connect_seconds = 10;
  long stall_seconds = 20;
  long total_seconds = 120;
};

// How one GET ended.
enum class HttpEnd {
  kWhole,         // the whole answer arrived
  kNoConnection,  // no answer: no connection, refused, reset before one came
  kTimedOut,      // a time limit ran out, before or during the answer
  kCutOff,        // the connection broke off part way through the answer
  kStopped,       // the body sink asked to stop
  kCancelled,     // the user stopped the wait for it
};

// What came back from one GET.
struct HttpReply {
  bool answered = false;   // a status line arrived
  int status = 0;          // the final response's status code
  bool complete = false;   // the whole body arrived and nothing failed
  bool timed_out = false;  // a time limit cut the response short
  std::string headers;     // the final response's header lines, CR LF ends
  HttpEnd end = HttpEnd::kWhole;
  std::string error;       // the system's words for what failed; "" when nothing did
  long limit_seconds = 0;  // when timed out: the limit that ran out
};

// The host of a URL: "http://www.discogs.com:80/release/1" -> "www.discogs.com".
std::string url_host(const std::string& url);

// Takes the body piece by piece as it arrives; returns false to stop reading,
// and the rest of the response is then not fetched.
using HttpBodySink = std::function<bool(const char* data, size_t size)>;

// HTTP/1.0: a connection of its own for the request, closed after it.
// HTTP/1.1: the connection an earlier HTTP/1.1 request left open is taken
// again, and left open for the next.
enum class HttpVersion { k1_0, k1_1 };

// Header lines beyond this many bytes are not kept.
constexpr size_t kMaxHeaderBytes = 100000;

// The bytes with each byte that escape() picks as '%' and two upper-case
// hex digits.
std::string percent_encode(const std::string& bytes, bool (*escape)(unsigned char));

// Fetches the URL (http or https). The URL is program text (Windows-1252):
// blanks, control characters and 8-bit characters in it are sent
// percent-encoded, the last as UTF-8. False when no response arrived at all:
// no connection, no answer in time, or a URL that cannot be requested.
// Body bytes that arrived before a failure have been given to the sink.
bool http_get(const std::string& url, const std::string& agent, const HttpBodySink& sink,
              HttpReply& reply, const HttpLimits& limits = HttpLimits(),
              HttpVersion version = HttpVersion::k1_0);

// The same GET with the caller's header lines in place of "Accept: */*",
// for the database API, over HTTP/1.1. Redirects are not followed, so the
// headers (a token) go to the URL's own host and nowhere else; no later
// request carries them.
bool http_get_with_headers(const std::string& url, const std::string& agent,
                           const std::vector<std::string>& header_lines, const HttpBodySink& sink,
                           HttpReply& reply, const HttpLimits& limits = HttpLimits());

}  // namespace platform
