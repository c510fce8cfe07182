// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/tools/bench_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace scores::bench {

namespace {

// Reads the server's log until its "serving http://127.0.0.1:PORT/" line; 0 when none comes.
int readPort(int fd) {
  std::string line;
  char c;
  while (read(fd, &c, 1) == 1) {
    if (c != '\n') {
      line += c;
      continue;
    }
    const auto at = line.find("http://127.0.0.1:");
    if (at != std::string::npos) return std::atoi(line.c_str() + at + 17);
    line.clear();
  }
  return 0;
}

}  // namespace

ServerProcess::ServerProcess(const std::string& program, const std::string& db, int threads) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) throw std::runtime_error("no pipe");
  pid_ = fork();
  if (pid_ == 0) {
    dup2(pipeFds[1], 1);
    close(pipeFds[0]);
    close(pipeFds[1]);
    const std::string t = std::to_string(threads);
    // Every connection comes from 127.0.0.1, so the per-client caps are off.
    execl(program.c_str(), program.c_str(), "--listen", "127.0.0.1:0", "--db", db.c_str(), "--rate",
          "0", "--rate-all", "0", "--max-per-address", "0", "--max-connections", "4000",
          "--threads", t.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeFds[1]);
  out_ = pipeFds[0];
  port_ = readPort(out_);
  if (port_ == 0) {
    stop();
    throw std::runtime_error("the server did not start: " + program);
  }
  std::thread([fd = out_] {
    char buf[65536];
    while (read(fd, buf, sizeof buf) > 0) {
    }
    close(fd);
  }).detach();
}

ServerProcess::~ServerProcess() {
  if (pid_ > 0) kill9();
}

bool ServerProcess::alive() {
  return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0;
}

void ServerProcess::kill9() {
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

bool ServerProcess::stop() {
  if (pid_ <= 0) return false;
  kill(pid_, SIGTERM);
  int status = 0;
  for (int i = 0; i < 300; ++i) {  // 30 s at most
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  kill9();
  return false;
}

bool Connection::open() {
  fd_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port_));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const timeval timeout{10, 0};  // no answer in 10 s counts as none
  setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  const int one = 1;
  setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  if (connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) return true;
  drop();
  return false;
}

void Connection::drop() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  buf_.clear();
}

bool Connection::readMore() {
  char chunk[16384];
  const ssize_t n = read(fd_, chunk, sizeof chunk);
  if (n <= 0) return false;
  buf_.append(chunk, static_cast<size_t>(n));
  return true;
}

int Connection::get(const std::string& target, bool close) {
  if (fd_ < 0 && !open()) return 0;
  const std::string request = "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
                              (close ? "Connection: close\r\n" : "") + "\r\n";
  if (send(fd_, request.data(), request.size(), MSG_NOSIGNAL) !=
      static_cast<ssize_t>(request.size())) {
    drop();
    return 0;
  }
  size_t end;
  while ((end = buf_.find("\r\n\r\n")) == std::string::npos)
    if (!readMore()) return drop(), 0;
  const std::string head = buf_.substr(0, end);
  const int status = head.size() > 12 ? std::atoi(head.c_str() + 9) : 0;
  std::string lower = head;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  const auto len = lower.find("content-length:");
  const size_t body =
      len == std::string::npos ? 0 : std::strtoul(lower.c_str() + len + 15, nullptr, 10);
  while (buf_.size() < end + 4 + body)
    if (!readMore()) return drop(), 0;
  buf_.erase(0, end + 4 + body);
  if (close || lower.find("connection: close") != std::string::npos) drop();
  return status;
}

std::string option(const std::vector<std::string>& args, const std::string& name,
                   const std::string& fallback) {
  for (size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == name) return args[i + 1];
  return fallback;
}

double quantile(std::vector<double>& ms, double q) {
  if (ms.empty()) return 0;
  std::sort(ms.begin(), ms.end());
  return ms[std::min(ms.size() - 1, static_cast<size_t>(q * static_cast<double>(ms.size())))];
}

}  // namespace scores::bench
