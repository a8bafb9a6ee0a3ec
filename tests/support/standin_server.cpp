#include "tests/support/standin_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
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

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
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

std::string HttpExchange::header(const std::string& name) const {
  const std::string wanted = lower(name) + ":";
  std::istringstream lines(head);
  for (std::string line; std::getline(lines, line);) {
    if (lower(line.substr(0, wanted.size())) != wanted) continue;
    std::string value = line.substr(wanted.size());
    while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
    while (!value.empty() && value.front() == ' ') value.erase(0, 1);
    return value;
  }
  return "";
}

bool HttpExchange::complete() const {
  const std::string length = header("Content-Length");
  return !length.empty() && std::to_string(body.size()) == length;
}

std::string get_request(const std::string& target, const std::string& host,
                        const std::string& agent) {
  std::string request = "GET " + target + " HTTP/1.0\r\n";
  if (!host.empty()) request += "Host: " + host + "\r\n";
  request += "User-Agent: " + agent + "\r\nAccept: */*\r\n\r\n";
  return request;
}

HttpExchange exchange(int port, const std::string& request, int quiet_seconds) {
  HttpExchange result;
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return result;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return result;
  }
  result.connected = true;
  for (size_t sent = 0; sent < request.size();) {
    const ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<size_t>(n);
  }
  char buffer[65536];
  for (;;) {
    pollfd watch{fd, POLLIN, 0};
    const int ready = poll(&watch, 1, quiet_seconds * 1000);
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) {
      result.timed_out = true;
      break;
    }
    const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      result.reset = errno == ECONNRESET;
      break;
    }
    if (n == 0) break;
    result.raw.append(buffer, static_cast<size_t>(n));
  }
  close(fd);

  const size_t end = result.raw.find("\r\n\r\n");
  result.head = result.raw.substr(0, end);
  if (end != std::string::npos) result.body = result.raw.substr(end + 4);
  if (result.raw.compare(0, 5, "HTTP/") == 0) {
    const size_t blank = result.raw.find(' ');
    if (blank != std::string::npos) result.status = std::atoi(result.raw.c_str() + blank + 1);
  }
  return result;
}

}  // namespace test_support
