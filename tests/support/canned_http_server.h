#pragma once
// A tiny HTTP server on a loopback port for the HTTP client's tests. Each
// connection is read up to the end of its request head, which is recorded,
// and then answered as the handler says: with raw bytes (status line and
// headers included) and a close, with nothing and a close, or with nothing
// at all while the connection is held open. Connections are served one at a
// time on a thread of the server's own.
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace test_support {

struct CannedAnswer {
  enum class Kind { kBytes, kCloseAtOnce, kStall, kTrickle };
  Kind kind = Kind::kBytes;
  std::string bytes;

  static CannedAnswer Bytes(std::string raw) { return {Kind::kBytes, std::move(raw)}; }
  static CannedAnswer CloseAtOnce() { return {Kind::kCloseAtOnce, ""}; }
  static CannedAnswer Stall() { return {Kind::kStall, ""}; }
  // The head at once, then the body one byte every half second.
  static CannedAnswer Trickle(std::string raw) { return {Kind::kTrickle, std::move(raw)}; }
  // "HTTP/1.0 <status>", a Content-Type, then the body.
  static CannedAnswer Page(int status, const std::string& body);
};

// The request line of a raw request head, as "GET /x HTTP/1.0".
std::string request_line(const std::string& head);
// The value of a header of a raw request head, or "" when it is absent.
std::string header_value(const std::string& head, const std::string& name);

class CannedHttpServer {
 public:
  using Handler = std::function<CannedAnswer(const std::string& request_head)>;

  explicit CannedHttpServer(Handler handler);
  ~CannedHttpServer();
  CannedHttpServer(const CannedHttpServer&) = delete;
  CannedHttpServer& operator=(const CannedHttpServer&) = delete;

  int port() const { return port_; }
  // "http://127.0.0.1:<port>" followed by the path.
  std::string url(const std::string& path) const;
  // The request heads received so far, in order.
  std::vector<std::string> requests() const;

 private:
  void serve();
  void serve_one(int client);
  bool wait_readable(int fd) const;  // false when the server is stopping

  Handler handler_;
  int listener_ = -1;
  int stop_pipe_[2] = {-1, -1};
  int port_ = 0;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// Sets (or, with nullptr, unsets) an environment variable for the lifetime
// of the object and puts the old value back afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  bool had_value_ = false;
  std::string old_value_;
};

// Points the HTTP layer's proxy at a local server (or at nothing, with an
// empty address) for the lifetime of the object; other proxy settings of the
// environment are set aside meanwhile.
class ScopedProxy {
 public:
  explicit ScopedProxy(const std::string& address);

 private:
  ScopedEnv http_;
  ScopedEnv https_;
  ScopedEnv all_;
  ScopedEnv all_upper_;
  ScopedEnv https_upper_;
  ScopedEnv no_;
  ScopedEnv no_upper_;
};

}  // namespace test_support
