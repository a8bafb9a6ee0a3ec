#pragma once
// The stand-in web database (tools/standin_server.py) for one test: started
// on a free loopback port with its own request log, stopped when the object
// goes. Point http_proxy at proxy_url() to send the program's requests to it.
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace test_support {

class StandinServer {
 public:
  // extra_args go to the server as they are, e.g. {"--fault", "stall"} or
  // {"--catalogue", dir}. Throws std::runtime_error when it does not start.
  explicit StandinServer(const std::vector<std::string>& extra_args = {});
  ~StandinServer();
  StandinServer(const StandinServer&) = delete;
  StandinServer& operator=(const StandinServer&) = delete;

  int port() const { return port_; }
  // "http://127.0.0.1:PORT"
  std::string proxy_url() const;
  // One line per request so far: method, target, HTTP version, user agent.
  std::vector<std::string> request_log() const;
  // Whether a request for exactly this target has come in.
  bool requested(const std::string& target) const;
  // What the server wrote on standard error (its log lines and any error).
  std::string error_output() const;
  // Sends SIGTERM and waits: the exit status, or -1 when it had to be killed.
  int stop();

 private:
  TempDir dir_;
  int pid_ = -1;
  int port_ = 0;
  int stdin_fd_ = -1;  // kept open: the server ends when it closes
};

// What came back for one raw request.
struct HttpExchange {
  bool connected = false;
  bool reset = false;      // the server reset the connection
  bool timed_out = false;  // the server kept the connection open and went quiet
  std::string raw;         // every byte received
  int status = 0;          // 0 when no status line arrived
  std::string head;        // status line and headers
  std::string body;        // the bytes after the blank line

  // The value of a response header (name without regard to case), or "".
  std::string header(const std::string& name) const;
  // A declared Content-Length that the body reached.
  bool complete() const;
};

// The request text "GET target HTTP/1.0" with a Host header (when host is
// not empty), the program's user agent and "Accept: */*".
std::string get_request(const std::string& target, const std::string& host = "",
                        const std::string& agent = "KAVORN(0.9/;p)");

// Sends the request text as it is to 127.0.0.1:port and reads until the
// server closes or resets, or nothing arrives for quiet_seconds.
HttpExchange exchange(int port, const std::string& request, int quiet_seconds = 10);

}  // namespace test_support
