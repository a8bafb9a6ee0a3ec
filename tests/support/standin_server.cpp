#include "tests/support/standin_server.h"

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "tests/support/mp3_files.h"
#include "tests/support/run_checks.h"

namespace test_support {

StandinServer::StandinServer(const std::vector<std::string>& extra_args) {
  std::string command = "exec /usr/bin/python3 " PLINTH_SOURCE_DIR
                        "/tools/standin_server.py --port 0 --exit-with-stdin --log " +
                        shell_quoted(dir_.file("requests.log")) + " --port-file " +
                        shell_quoted(dir_.file("port"));
  for (const std::string& arg : extra_args) command += " " + shell_quoted(arg);
  // Close-on-exec, so that no other child holds the server's input open.
  input_ = popen((command + " >/dev/null 2>" + shell_quoted(dir_.file("errors"))).c_str(), "we");
  if (input_ == nullptr) throw std::runtime_error("cannot start the stand-in server");
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while ((port_ = std::atoi(read_file(dir_.file("port")).c_str())) <= 0) {
    if (std::chrono::steady_clock::now() > give_up) {
      stop();
      throw std::runtime_error("the stand-in server did not start: " +
                               read_file(dir_.file("errors")));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

std::vector<std::string> StandinServer::request_log() const {
  std::vector<std::string> lines;
  std::istringstream text(read_file(dir_.file("requests.log")));
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  return lines;
}

bool StandinServer::requested(const std::string& target) const {
  for (const std::string& line : request_log()) {
    if (line.find(" " + target + " ") != std::string::npos) return true;
  }
  return false;
}

void StandinServer::stop() {
  if (input_ != nullptr) pclose(input_);
  input_ = nullptr;
}

ScopedProxy::ScopedProxy(const std::string& address)
    : http_("http_proxy", address.empty() ? nullptr : address.c_str()),
      https_("https_proxy", address.empty() ? nullptr : address.c_str()),
      all_("all_proxy", nullptr),
      all_upper_("ALL_PROXY", nullptr),
      https_upper_("HTTPS_PROXY", nullptr),
      no_("no_proxy", nullptr),
      no_upper_("NO_PROXY", nullptr) {}

}  // namespace test_support
