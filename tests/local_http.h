// SPDX-License-Identifier: GPL-3.0-or-later
// Servers on 127.0.0.1 for the score report's tests. LocalHttp takes requests one at a time and
// answers each with the next status of its script (the last one repeats); a status of 0 takes
// the request and never answers. DeadPort is a port where nothing listens.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace mv::test {

// A socket bound to a free port of 127.0.0.1; listening when `listening`.
inline int boundSocket(int& port, bool listening) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  port = ntohs(a.sin_port);
  if (listening) listen(fd, 8);
  return fd;
}

// Bound but not listening: a connection is refused at once, and no other program can take the
// port while this lives.
class DeadPort {
 public:
  DeadPort() : fd_(boundSocket(port_, false)) {}
  ~DeadPort() { close(fd_); }
  std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }

 private:
  int port_ = 0;
  int fd_;
};

class LocalHttp {
 public:
  explicit LocalHttp(std::vector<int> statuses) : statuses_(std::move(statuses)) {
    fd_ = boundSocket(port_, true);
    thread_ = std::thread([this] { serve(); });
  }
  ~LocalHttp() {
    stop_ = true;
    thread_.join();
    for (const int c : held_) close(c);
    close(fd_);
  }
  std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }
  // The targets of the requests read so far, in order.
  std::vector<std::string> targets() {
    std::lock_guard lock(mutex_);
    return targets_;
  }

 private:
  // Waits up to 50 ms for `fd` to be readable.
  static bool readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, 50) > 0;
  }

  void serve() {
    while (!stop_) {
      if (!readable(fd_)) continue;
      const int c = accept(fd_, nullptr, nullptr);
      if (c < 0) continue;
      std::string req;
      char buf[2048];
      for (int waits = 0; req.find("\r\n\r\n") == std::string::npos && waits < 40 && !stop_;) {
        if (!readable(c)) {
          ++waits;
          continue;
        }
        const ssize_t n = read(c, buf, sizeof buf);
        if (n <= 0) break;
        req.append(buf, static_cast<size_t>(n));
      }
      const std::string line = req.substr(0, req.find("\r\n"));
      const auto a = line.find(' '), b = line.rfind(' ');
      int status = 0;
      {
        std::lock_guard lock(mutex_);
        targets_.push_back(a == b ? line : line.substr(a + 1, b - a - 1));
        status = statuses_.empty() ? 200 : statuses_[std::min(next_++, statuses_.size() - 1)];
      }
      if (status == 0) {
        held_.push_back(c);
        continue;
      }
      const std::string reply = "HTTP/1.1 " + std::to_string(status) +
                                " X\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";
      (void)!write(c, reply.data(), reply.size());
      close(c);
    }
  }

  std::vector<int> statuses_;
  size_t next_ = 0;
  int fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::string> targets_;
  std::vector<int> held_;
};

}  // namespace mv::test
