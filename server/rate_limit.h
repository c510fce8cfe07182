// SPDX-License-Identifier: GPL-3.0-or-later
// How many reports one client address may send in a calendar minute.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

namespace scores {

class RateLimit {
 public:
  // `perMinute` 0 means no limit.
  explicit RateLimit(int perMinute) : perMinute_(perMinute) {}

  // Counts one report from `address` in minute `minute` (minutes since the epoch); false when
  // the address has already sent its share of that minute.
  bool allow(const std::string& address, std::int64_t minute);

 private:
  int perMinute_;
  std::mutex mutex_;
  std::int64_t minute_ = -1;
  std::unordered_map<std::string, int> counts_;  // this minute's only, so it never grows old
};

}  // namespace scores
