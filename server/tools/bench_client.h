// SPDX-License-Identifier: GPL-3.0-or-later
// What the load, durability and fuzz tools share: a morvane-scores process of their own on a free
// port of 127.0.0.1, and a bare HTTP client that sends exactly the bytes it is given.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace scores::bench {

// A server process started with `--listen 127.0.0.1:0 --db DB --threads N` and no per-client or
// overall limits (every connection comes from 127.0.0.1). Its log is
// read and dropped on a thread of its own, so the server never blocks on a full pipe.
class ServerProcess {
 public:
  ServerProcess(const std::string& program, const std::string& db, int threads);
  ~ServerProcess();
  int port() const { return port_; }
  bool alive();
  void kill9();
  // SIGTERM, then waits; true when the server ended with status 0.
  bool stop();

 private:
  pid_t pid_ = -1;
  int port_ = 0;
  int out_ = -1;
};

// One keep-alive connection; reconnects when the server has closed it.
class Connection {
 public:
  explicit Connection(int port) : port_(port) {}
  ~Connection() { drop(); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // GET `target` (sent as is); the answer's status, or 0 when none came. `close` asks the server
  // to close the connection after answering.
  int get(const std::string& target, bool close = false);

 private:
  bool open();
  void drop();
  bool readMore();
  int port_;
  int fd_ = -1;
  std::string buf_;
};

// Value of `--name V` in `args`, or `fallback`.
std::string option(const std::vector<std::string>& args, const std::string& name,
                   const std::string& fallback);

// The `q`-quantile (0..1, 1 the largest) of `ms`, which is sorted in place; 0 when it is empty.
double quantile(std::vector<double>& ms, double q);

}  // namespace scores::bench
