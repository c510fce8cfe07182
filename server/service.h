// SPDX-License-Identifier: GPL-3.0-or-later
// What the server answers, apart from HTTP itself: reports in, leaderboard out.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "server/rate_limit.h"
#include "server/store.h"

namespace scores {

struct Reply {
  int status = 200;
  std::string contentType = "text/plain; charset=utf-8";
  std::string body;
};

// "YYYY-MM-DDTHH:MM:SSZ" in UTC.
std::string utcTime(std::chrono::system_clock::time_point t);

class ScoreService {
 public:
  ScoreService(Store& store, int reportsPerMinute) : store_(store), limit_(reportsPerMinute) {}

  // One report from `address`: "ok" once it is stored, 400 with the reason for a bad report,
  // 429 over the address's share of the minute, 503 when the store fails. Only "ok" stores.
  Reply report(std::string_view query, const std::string& address,
               std::chrono::system_clock::time_point now);
  Reply page();
  Reply json();

 private:
  Store& store_;
  RateLimit limit_;
};

}  // namespace scores
