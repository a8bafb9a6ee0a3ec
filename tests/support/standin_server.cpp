#include "tests/support/standin_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace test_support {
namespace {

constexpr int kStartWaitMs = 20000;
constexpr int kStopWaitMs = 10000;

std::string python() {
  const char* configured = std::getenv("PLINTH_TEST_PYTHON");
  return configured != nullptr && *configured != '\0' ? configured : "/usr/bin/python3";
}

// The project's folder: PLINTH_SOURCE_DIR from the environment, else the
// folder three levels above this source file (the build names it absolutely).
std::string source_dir() {
  const char* configured = std::getenv("PLINTH_SOURCE_DIR");
  if (configured != nullptr && *configured != '\0') return configured;
  std::string here = __FILE__;
  for (int level = 0; level < 3; ++level) here = here.substr(0, here.rfind('/'));
  return here;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The first line the child writes, or "" when none comes in time.
std::string read_first_line(int fd, int wait_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
  std::string line;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) return "";
    pollfd watch{fd, POLLIN, 0};
    const int ready = poll(&watch, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return "";
    char c;
    if (read(fd, &c, 1) != 1) return "";
    if (c == '\n') return line;
    line += c;
  }
}

}  // namespace

StandinServer::StandinServer(const std::vector<std::string>& extra_args) {
  const std::string interpreter = python();
  std::vector<std::string> args = {interpreter,
                                   source_dir() + "/tools/standin_server.py",
                                   "--port",
                                   "0",
                                   "--log",
                                   dir_.file("requests.log"),
                                   "--exit-with-stdin"};
  args.insert(args.end(), extra_args.begin(), extra_args.end());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(&arg[0]);
  argv.push_back(nullptr);

  int to_child[2];
  int from_child[2];
  if (pipe2(to_child, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  if (pipe2(from_child, O_CLOEXEC) != 0) {
    close(to_child[0]);
    close(to_child[1]);
    throw std::runtime_error("pipe failed");
  }
  const std::string errors = dir_.file("stderr.txt");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, to_child[0], 0);
  posix_spawn_file_actions_adddup2(&actions, from_child[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  const int spawned =
      posix_spawn(&pid, interpreter.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(to_child[0]);
  close(from_child[1]);
  stdin_fd_ = to_child[1];
  if (spawned != 0) {
    close(from_child[0]);
    close(stdin_fd_);
    throw std::runtime_error("cannot start " + interpreter);
  }
  pid_ = pid;

  const std::string line = read_first_line(from_child[0], kStartWaitMs);
  close(from_child[0]);
  const std::string prefix = "listening on 127.0.0.1:";
  if (line.compare(0, prefix.size(), prefix) == 0) port_ = std::atoi(line.c_str() + prefix.size());
  if (port_ <= 0) {
    stop();
    throw std::runtime_error("the stand-in server did not start: " + line + read_file(errors));
  }
}

StandinServer::~StandinServer() { stop(); }

std::string StandinServer::proxy_url() const { return "http://127.0.0.1:" + std::to_string(port_); }

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

std::string StandinServer::error_output() const { return read_file(dir_.file("stderr.txt")); }

int StandinServer::stop() {
  if (pid_ < 0) return 0;
  kill(pid_, SIGTERM);
  int status = 0;
  pid_t done = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStopWaitMs);
  while ((done = waitpid(pid_, &status, WNOHANG)) == 0 &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  int result = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (done == 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
    result = -1;
  }
  pid_ = -1;
  if (stdin_fd_ >= 0) close(stdin_fd_);
  stdin_fd_ = -1;
  return result;
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
  const char* old = std::getenv(name);
  had_value_ = old != nullptr;
  if (had_value_) old_value_ = old;
  if (value != nullptr) {
    setenv(name, value, 1);
  } else {
    unsetenv(name);
  }
}

ScopedEnv::~ScopedEnv() {
  if (had_value_) {
    setenv(name_.c_str(), old_value_.c_str(), 1);
  } else {
    unsetenv(name_.c_str());
  }
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
