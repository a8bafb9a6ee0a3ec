#include "tests/support/canned_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace test_support {

CannedAnswer CannedAnswer::Page(int status, const std::string& body) {
  return Bytes("HTTP/1.0 " + std::to_string(status) + " Canned\r\n" +
               "Content-Type: text/html\r\n\r\n" + body);
}

std::string request_line(const std::string& head) { return head.substr(0, head.find("\r\n")); }

std::string header_value(const std::string& head, const std::string& name) {
  const std::string key = "\r\n" + name + ": ";
  const size_t at = head.find(key);
  if (at == std::string::npos) return "";
  const size_t from = at + key.size();
  return head.substr(from, head.find("\r\n", from) - from);
}

CannedHttpServer::CannedHttpServer(Handler handler) : handler_(std::move(handler)) {
  listener_ = socket(AF_INET, SOCK_STREAM, 0);
  if (listener_ < 0 || pipe(stop_pipe_) != 0) throw std::runtime_error("socket or pipe failed");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener_, 16) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("cannot listen on a loopback port");
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { serve(); });
}

CannedHttpServer::~CannedHttpServer() {
  const char stop = 's';
  (void)!write(stop_pipe_[1], &stop, 1);
  thread_.join();
  close(listener_);
  close(stop_pipe_[0]);
  close(stop_pipe_[1]);
}

std::string CannedHttpServer::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> CannedHttpServer::requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

bool CannedHttpServer::wait_readable(int fd) const {
  pollfd fds[2] = {{fd, POLLIN, 0}, {stop_pipe_[0], POLLIN, 0}};
  for (;;) {
    if (poll(fds, 2, -1) < 0) return false;
    if (fds[1].revents != 0) return false;
    if (fds[0].revents != 0) return true;
  }
}

void CannedHttpServer::serve() {
  while (wait_readable(listener_)) {
    const int client = accept(listener_, nullptr, nullptr);
    if (client < 0) continue;
    serve_one(client);
    close(client);
  }
}

void CannedHttpServer::serve_one(int client) {
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos) {
    if (!wait_readable(client)) return;
    const ssize_t n = recv(client, buffer, sizeof buffer, 0);
    if (n <= 0) return;
    head.append(buffer, static_cast<size_t>(n));
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(head);
  }
  const CannedAnswer answer = handler_(head);
  if (answer.kind == CannedAnswer::Kind::kStall) {
    // Hold the connection until the client gives up or the server stops.
    while (wait_readable(client) && recv(client, buffer, sizeof buffer, 0) > 0) {
    }
    return;
  }
  const size_t head_end = answer.bytes.find("\r\n\r\n");
  const size_t at_once = answer.kind == CannedAnswer::Kind::kTrickle && head_end != std::string::npos
                             ? head_end + 4
                             : answer.bytes.size();
  size_t sent = 0;
  while (sent < answer.bytes.size()) {
    if (sent >= at_once) {
      pollfd stop = {stop_pipe_[0], POLLIN, 0};
      if (poll(&stop, 1, 500) != 0) return;
    }
    const size_t chunk = sent < at_once ? at_once - sent : 1;
    const ssize_t n = send(client, answer.bytes.data() + sent, chunk, MSG_NOSIGNAL);
    if (n <= 0) return;  // the client stopped reading
    sent += static_cast<size_t>(n);
  }
  shutdown(client, SHUT_WR);
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
