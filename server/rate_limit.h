// SPDX-License-Identifier: GPL-3.0-or-later
// Who a client is, for limits: its address, with an IPv6 client counted by its /64 (one host or
// one customer line usually holds a whole /64), and counts of events per key and minute.
#pragma once

#include <sys/socket.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace scores {

// The client's address as text; an IPv4 address that reached an IPv6 socket (::ffff:a.b.c.d)
// is shown as the IPv4 address it is.
std::string clientAddress(const sockaddr* address);

// The key the limits count `address` (as clientAddress() writes it) under: an IPv4 address as it
// is, an IPv6 address as its /64 ("2001:db8:1:2::/64"), an IPv4-mapped IPv6 address as the IPv4
// address. Text that is no address is its own key.
std::string rateKey(std::string_view address);

// Counts events per key within a calendar minute, in this process.
class MinuteCounter {
 public:
  // Counts one event of `key` in minute `minute` (minutes since the epoch) and returns how many
  // there have been in that minute, this one included.
  std::int64_t count(const std::string& key, std::int64_t minute);

 private:
  std::mutex mutex_;
  std::int64_t minute_ = -1;
  std::unordered_map<std::string, std::int64_t>
      counts_;  // this minute's only, so it never grows old
};

}  // namespace scores
