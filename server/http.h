// SPDX-License-Identifier: GPL-3.0-or-later
// The HTTP side of the server: routes, and one log line per request.
#pragma once

#include <chrono>
#include <iosfwd>
#include <mutex>
#include <string>
#include <string_view>

namespace httplib {
class Server;
}

namespace scores {

class ScoreService;

// Writes whole lines to a stream from any thread.
class RequestLog {
 public:
  explicit RequestLog(std::ostream& out) : out_(out) {}
  void line(const std::string& text);

 private:
  std::mutex mutex_;
  std::ostream& out_;
};

// One log line: time, client address, method and target (bytes that are not printable ASCII
// shown as \xNN, so no request can forge or break a line), status.
std::string logLine(std::chrono::system_clock::time_point t, std::string_view address,
                    std::string_view method, std::string_view target, int status);

// GET / (the page), GET /scores.json and GET /morvane/mv.asp (a report).
void route(httplib::Server& http, ScoreService& service, RequestLog& log);

}  // namespace scores
