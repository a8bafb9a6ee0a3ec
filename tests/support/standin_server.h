#pragma once
// The stand-in web database (tools/standin_server.py) for one test: started
// on a free loopback port with its own request log, stopped when the object
// goes. Point http_proxy at proxy_url() to send the program's requests to it.
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/isolated_config.h"
#include "tests/support/temp_dir.h"

namespace test_support {

class StandinServer {
 public:
  // extra_args go to the server as they are, e.g. {"--fault", "stall"} or
  // {"--catalogue", dir}. Throws std::runtime_error when it does not start.
  explicit StandinServer(const std::vector<std::string>& extra_args = {});
  ~StandinServer() { stop(); }
  StandinServer(const StandinServer&) = delete;
  StandinServer& operator=(const StandinServer&) = delete;

  // "http://127.0.0.1:PORT"
  std::string proxy_url() const { return "http://127.0.0.1:" + std::to_string(port_); }
  // One line per request so far: method, target, HTTP version, user agent.
  std::vector<std::string> request_log() const;
  // Whether a request for exactly this target has come in.
  bool requested(const std::string& target) const;
  // Closes the server's standard input, on which it ends, and waits for it.
  void stop();

 private:
  TempDir dir_;
  FILE* input_ = nullptr;
  int port_ = 0;
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
