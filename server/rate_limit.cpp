// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/rate_limit.h"

namespace scores {

bool RateLimit::allow(const std::string& address, std::int64_t minute) {
  if (perMinute_ <= 0) return true;
  std::lock_guard lock(mutex_);
  if (minute != minute_) {
    counts_.clear();
    minute_ = minute;
  }
  return ++counts_[address] <= perMinute_;
}

}  // namespace scores
