// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/rate_limit.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstring>

namespace scores {

namespace {

bool v4Mapped(const in6_addr& a) {
  static const unsigned char kPrefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
  return std::memcmp(a.s6_addr, kPrefix, sizeof kPrefix) == 0;
}

std::string v4Text(const void* bytes) {
  char buf[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, bytes, buf, sizeof buf);
  return buf;
}

}  // namespace

std::string clientAddress(const sockaddr* address) {
  if (!address) return "-";
  if (address->sa_family == AF_INET)
    return v4Text(&reinterpret_cast<const sockaddr_in*>(address)->sin_addr);
  if (address->sa_family == AF_INET6) {
    const in6_addr& a = reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr;
    if (v4Mapped(a)) return v4Text(a.s6_addr + 12);
    char buf[INET6_ADDRSTRLEN] = {};
    inet_ntop(AF_INET6, &a, buf, sizeof buf);
    return buf;
  }
  return "-";
}

std::string rateKey(std::string_view address) {
  const std::string text(address);
  in6_addr a{};
  if (text.find(':') == std::string::npos || inet_pton(AF_INET6, text.c_str(), &a) != 1)
    return text;
  if (v4Mapped(a)) return v4Text(a.s6_addr + 12);
  std::memset(a.s6_addr + 8, 0, 8);
  char buf[INET6_ADDRSTRLEN] = {};
  inet_ntop(AF_INET6, &a, buf, sizeof buf);
  return std::string(buf) + "/64";
}

std::int64_t MinuteCounter::count(const std::string& key, std::int64_t minute) {
  std::lock_guard lock(mutex_);
  if (minute != minute_) {
    counts_.clear();
    minute_ = minute;
  }
  return ++counts_[key];
}

}  // namespace scores
