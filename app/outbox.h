// SPDX-License-Identifier: GPL-3.0-or-later
// Score reports that got no answer at exit, kept in the data folder and sent at a later start.
//
// The file `outbox` holds one report a line, oldest first, at most kOutboxCap: the report's path
// and query as the game sends them (/morvane/mv.asp?action2=add&...), so a kept report goes to
// the leaderboard in force when it is sent. A line that is not such a report, or that the file
// ends in the middle of, is dropped when the file is read. The file is replaced whole, never
// written in place.
//
// Copies of the game may run at once. Every change to the file happens under an flock on
// `outbox.lock`, held only for the change itself; the copy that sends kept reports also holds
// `outbox.send.lock` for as long as it sends, and a copy that cannot take it leaves the kept
// reports alone, so no two copies send the same report.
#pragma once

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

inline constexpr std::size_t kOutboxCap = 100;

// Whether `line` can be a kept report: the report's path, then a query of the characters
// percent-encoding leaves (letters, digits, - . _ ~ % & =), at most 1024 characters in all.
bool outboxLine(std::string_view line);

// Whether an HTTP status settles a report. A 2xx took it and any other 4xx refused it for good;
// no answer (0), 408 and 429 (the server asks to come back later), 1xx, 3xx and 5xx do not.
bool settles(long status);

class Outbox {
 public:
  explicit Outbox(std::filesystem::path folder);

  // Adds the report `target` as the newest, dropping the oldest beyond kOutboxCap. Waits at most
  // `waitMs` for another copy's change to end. False when the report could not be kept.
  bool keep(const std::string& target, int waitMs = 1000);

  // The kept reports, oldest first.
  std::vector<std::string> reports() const;

  // Sends the kept reports oldest first through `send`, which returns the answer's HTTP status
  // or 0 for none, and removes each one that is settled as soon as it is. Stops when none is
  // left, when one is not settled (the server is away or failing: the rest wait for the next
  // start) or when `stop` is set. Returns how many were settled, or -1 when another copy is
  // sending them.
  int deliver(const std::function<long(const std::string& target)>& send,
              const std::atomic<bool>& stop);

  std::filesystem::path file() const { return folder_ / "outbox"; }

 private:
  std::filesystem::path folder_;
};

}  // namespace mv
