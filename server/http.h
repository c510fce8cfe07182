// SPDX-License-Identifier: GPL-3.0-or-later
// The HTTP side of the server: an event loop (libmicrohttpd on epoll) that holds every
// connection without a thread of its own, bounds each one's memory, time and number, and hands
// whole requests to a few worker threads that call route().
#pragma once

#include <chrono>
#include <cstddef>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "server/service.h"

namespace scores {

// Writes whole lines to a stream from any thread.
class RequestLog {
 public:
  explicit RequestLog(std::ostream& out) : out_(out) {}
  void line(const std::string& text);

 private:
  std::mutex mutex_;
  std::ostream& out_;
};

// The longest request target a log line shows; longer ones are cut and marked.
inline constexpr std::size_t kLoggedTargetBytes = 256;

// One log line: time, client address, method and target (bytes that are not printable ASCII
// shown as \xNN, so no request can forge or break a line; cut after kLoggedTargetBytes), and the
// outcome: a status code or a word.
std::string logLine(std::chrono::system_clock::time_point t, std::string_view address,
                    std::string_view method, std::string_view target, std::string_view outcome);

// What a GET or HEAD of `target` gets: / (the page), /scores.json and the report path. HEAD of a
// report says what GET would, storing nothing. May wait for the store, so it runs on a worker.
Reply route(ScoreService& service, std::string_view method, std::string_view target,
            const std::string& address, std::chrono::system_clock::time_point now);

struct HttpLimits {
  int maxConnections = 1000;  // open at once, all clients together
  int perAddress = 8;         // open at once from one address (an IPv6 /64); 0 for no cap
  // Seconds for a whole request (line and headers) to arrive after the connection opens or the
  // previous answer went, and for an answer to move at all.
  int timeoutSeconds = 5;
  int workers = 64;                          // requests served at once
  std::size_t connectionMemory = 16 * 1024;  // bytes per connection: request line and headers
  std::size_t queued = 1024;                 // whole requests waiting for a worker
};

class HttpServer {
 public:
  HttpServer(ScoreService& service, RequestLog& log, HttpLimits limits);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Listens on host:port (port 0: any free one) and starts serving; returns the port. Throws
  // std::runtime_error when it cannot.
  int start(const std::string& host, int port);
  // Stops accepting at once, lets the requests in hand finish for at most `grace`, then closes
  // every connection. False when a request was still being served as the grace ran out (the
  // server is then left as it is, for the process to exit).
  bool stop(std::chrono::milliseconds grace);

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace scores
