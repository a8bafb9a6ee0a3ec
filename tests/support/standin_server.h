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

// Points the HTTP layer's proxy at a server (or at nothing, with an empty
// address) while it lives; other proxy settings are set aside meanwhile.
class ScopedProxy {
 public:
  explicit ScopedProxy(const std::string& address);

 private:
  ScopedEnv http_, https_, all_, all_upper_, https_upper_, no_, no_upper_;
};

}  // namespace test_support
