#include "platform/http/http.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/codepage.h"
#include "platform/dialogs/wait_notice.h"
#include "platform/http/curl_library.h"

namespace platform {
namespace {

constexpr long kMaxRedirects = 5;

struct Transfer {
  const HttpBodySink* sink;
  HttpReply* reply;
  std::atomic<bool> stop{false};  // the user stopped the wait: libcurl gives up
};

int on_progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<Transfer*>(user)->stop ? 1 : 0;  // nonzero ends the transfer
}

size_t on_body(char* data, size_t size, size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  const size_t bytes = size * count;
  if (bytes == 0) return 0;
  // Returning fewer bytes than given makes libcurl stop the transfer.
  return (*transfer->sink)(data, bytes) ? bytes : 0;
}

size_t on_header(char* data, size_t size, size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  const size_t bytes = size * count;
  std::string& headers = transfer->reply->headers;
  // Each response of a redirect chain starts with its status line; only the
  // last one's headers are kept.
  if (bytes >= 5 && std::string(data, 5) == "HTTP/") headers.clear();
  if (headers.size() + bytes <= kMaxHeaderBytes) headers.append(data, bytes);
  return bytes;
}

// The program holds a URL as 8-bit text. What a URL cannot carry as it is
// (blanks, control characters, 8-bit characters) is sent percent-encoded,
// 8-bit characters as the UTF-8 that web addresses use.
bool unsafe_in_url(unsigned char byte) { return byte <= 0x20 || byte >= 0x7F; }

std::string request_url(const std::string& url) {
  return percent_encode(to_utf8(url), unsafe_in_url);
}

// The transfer runs on a thread of its own while this one tells the user
// what the program waits for, and so keeps a window drawn, until it is done.
// The callbacks only fill the caller's buffers, which nothing else touches
// meanwhile.
CURLcode perform_telling_the_user(const CurlLibrary& lib, CURL* curl, const std::string& url,
                                  Transfer& transfer_state) {
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  CURLcode result = CURLE_OK;
  std::thread transfer;
  try {
    transfer = std::thread([&] {
      const CURLcode code = lib.easy_perform(curl);
      const std::lock_guard<std::mutex> lock(mutex);
      result = code;
      done = true;
      finished.notify_one();
    });
  } catch (const std::system_error&) {
    return lib.easy_perform(curl);  // no thread to be had: wait without a word
  }
  {
    WaitNotice notice("Waiting for " + url_host(url), true);
    std::unique_lock<std::mutex> lock(mutex);
    while (!finished.wait_for(lock, std::chrono::milliseconds(50), [&] { return done; })) {
      lock.unlock();
      notice.tick();
      if (notice.stopped()) transfer_state.stop = true;
      lock.lock();
    }
  }
  transfer.join();
  return result;
}

using HeaderList = std::unique_ptr<curl_slist, void (*)(curl_slist*)>;

// Which time limit ran out: the connection's while there was none, else the
// whole request's when it was used up, else the stall's.
long limit_that_ran_out(const CurlLibrary& lib, CURL* curl, const HttpLimits& limits,
                        std::chrono::steady_clock::duration took) {
  // Also set on a connection kept from an earlier request, unlike the
  // connection's own time.
  curl_off_t ready_to_send_after = 0;
  lib.easy_getinfo(curl, CURLINFO_PRETRANSFER_TIME_T, &ready_to_send_after);
  if (ready_to_send_after == 0) return limits.connect_seconds;
  // libcurl's own clock may run out a little before this one.
  if (took + std::chrono::milliseconds(250) >= std::chrono::seconds(limits.total_seconds)) {
    return limits.total_seconds;
  }
  return limits.stall_seconds;
}

HttpEnd end_of(CURLcode result, bool answered) {
  switch (result) {
    case CURLE_OK:
      return HttpEnd::kWhole;
    case CURLE_OPERATION_TIMEDOUT:
      return HttpEnd::kTimedOut;
    case CURLE_WRITE_ERROR:
      return HttpEnd::kStopped;
    case CURLE_ABORTED_BY_CALLBACK:
      return HttpEnd::kCancelled;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_BAD_CONTENT_ENCODING:
      return answered ? HttpEnd::kCutOff : HttpEnd::kNoConnection;
    default:
      return HttpEnd::kNoConnection;
  }
}

// One handle for the whole run, taken by one request at a time. libcurl
// keeps the connections a request leaves open in its handle, so the next
// HTTP/1.1 request to the same server goes over the same connection
// instead of a new one. Every option is reset before and after each
// request: nothing of one (the API's token above all) goes with the next.
// Never cleaned up, as the library is never unloaded.
class KeptHandle {
 public:
  explicit KeptHandle(const CurlLibrary& lib) : lib_(lib), lock_(mutex()), curl_(shared(lib)) {
    if (curl_ != nullptr) lib_.easy_reset(curl_);
  }
  ~KeptHandle() {
    if (curl_ != nullptr) lib_.easy_reset(curl_);
  }
  KeptHandle(const KeptHandle&) = delete;
  KeptHandle& operator=(const KeptHandle&) = delete;
  CURL* get() const { return curl_; }

 private:
  static std::mutex& mutex() {
    static std::mutex handle_mutex;
    return handle_mutex;
  }
  static CURL* shared(const CurlLibrary& lib) {
    static CURL* const handle = lib.easy_init();
    return handle;
  }

  const CurlLibrary& lib_;
  std::lock_guard<std::mutex> lock_;
  CURL* const curl_;
};

}  // namespace

std::string url_host(const std::string& url) {
  const size_t scheme = url.find("://");
  const size_t begin = scheme == std::string::npos ? 0 : scheme + 3;
  const size_t end = url.find_first_of(":/?#", begin);
  return url.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

std::string percent_encode(const std::string& bytes, bool (*escape)(unsigned char)) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (escape(byte)) {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 0x0F];
    } else {
      encoded += c;
    }
  }
  return encoded;
}

namespace {

bool perform_get(const std::string& url, const std::string& agent,
                 const std::vector<std::string>& header_lines, bool follow_redirects,
                 HttpVersion version, const HttpBodySink& sink, HttpReply& reply,
                 const HttpLimits& limits) {
  reply = HttpReply();
  reply.end = HttpEnd::kNoConnection;  // until the request is made
  reply.error = "the HTTP library could not be used";
  const CurlLibrary* const lib = curl_library();
  if (lib == nullptr) return false;
  const KeptHandle curl(*lib);
  if (curl.get() == nullptr) return false;
  HeaderList headers(nullptr, lib->slist_free_all);
  for (const std::string& line : header_lines) {
    curl_slist* const longer = lib->slist_append(headers.get(), line.c_str());
    if (longer == nullptr) return false;
    headers.release();  // the same list, now one line longer
    headers.reset(longer);
  }

  Transfer transfer;
  transfer.sink = &sink;
  transfer.reply = &reply;
  const std::string target = request_url(url);
  CURL* const c = curl.get();
  lib->easy_setopt(c, CURLOPT_URL, target.c_str());
  lib->easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  lib->easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  lib->easy_setopt(c, CURLOPT_DEFAULT_PROTOCOL, "http");
  if (version == HttpVersion::k1_1) {
    lib->easy_setopt(c, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  } else {
    lib->easy_setopt(c, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    lib->easy_setopt(c, CURLOPT_FRESH_CONNECT, 1L);
    lib->easy_setopt(c, CURLOPT_FORBID_REUSE, 1L);
  }
  lib->easy_setopt(c, CURLOPT_HTTPGET, 1L);
  lib->easy_setopt(c, CURLOPT_USERAGENT, agent.c_str());
  lib->easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
  lib->easy_setopt(c, CURLOPT_FOLLOWLOCATION, follow_redirects ? 1L : 0L);
  lib->easy_setopt(c, CURLOPT_MAXREDIRS, kMaxRedirects);
  lib->easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
  lib->easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
  lib->easy_setopt(c, CURLOPT_CONNECTTIMEOUT, limits.connect_seconds);
  lib->easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
  lib->easy_setopt(c, CURLOPT_LOW_SPEED_TIME, limits.stall_seconds);
  lib->easy_setopt(c, CURLOPT_TIMEOUT, limits.total_seconds);
  lib->easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  lib->easy_setopt(c, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  lib->easy_setopt(c, CURLOPT_WRITEFUNCTION, &on_body);
  lib->easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
  lib->easy_setopt(c, CURLOPT_HEADERFUNCTION, &on_header);
  lib->easy_setopt(c, CURLOPT_HEADERDATA, &transfer);
  lib->easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &on_progress);
  lib->easy_setopt(c, CURLOPT_XFERINFODATA, &transfer);
  lib->easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
  char error[CURL_ERROR_SIZE] = "";
  lib->easy_setopt(c, CURLOPT_ERRORBUFFER, error);

  const auto start = std::chrono::steady_clock::now();
  const CURLcode result = perform_telling_the_user(*lib, c, url, transfer);
  long status = 0;
  lib->easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
  reply.status = static_cast<int>(status);
  reply.answered = status != 0;
  reply.complete = reply.answered && result == CURLE_OK;
  reply.timed_out = result == CURLE_OPERATION_TIMEDOUT;
  reply.end = end_of(result, reply.answered);
  reply.error.clear();
  if (result != CURLE_OK) reply.error = error[0] != '\0' ? error : lib->easy_strerror(result);
  if (reply.timed_out) {
    reply.limit_seconds =
        limit_that_ran_out(*lib, c, limits, std::chrono::steady_clock::now() - start);
  }
  return reply.answered;
}

}  // namespace

bool http_get(const std::string& url, const std::string& agent, const HttpBodySink& sink,
              HttpReply& reply, const HttpLimits& limits, HttpVersion version) {
  return perform_get(url, agent, {"Accept: */*"}, true, version, sink, reply, limits);
}

bool http_get_with_headers(const std::string& url, const std::string& agent,
                           const std::vector<std::string>& header_lines, const HttpBodySink& sink,
                           HttpReply& reply, const HttpLimits& limits) {
  return perform_get(url, agent, header_lines, false, HttpVersion::k1_1, sink, reply, limits);
}

}  // namespace platform
