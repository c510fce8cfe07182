// SPDX-License-Identifier: GPL-3.0-or-later
// The score report sent at exit: a plain web request to the leaderboard in force, made in the
// background so that a slow or dead network never holds up leaving the game. A report that gets
// no answer in time is kept in the outbox and sent at a later start, also in the background.
#pragma once

#include <atomic>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>

#include "app/settings.h"

namespace mv {

// Percent-encodes everything but the unreserved characters, so a value can never end its
// field or start another one.
std::string percentEncode(std::string_view value);

// The report's path and query. The player-name field carries the version behind a space.
std::string reportTarget(std::string_view playerName, int level, int score);

// A report's path and query `target` sent to the endpoint `base`.
std::string reportUrl(std::string_view base, std::string_view target);

// The report's URL at the endpoint `base`.
std::string scoreUrl(std::string_view base, std::string_view playerName, int level, int score);

// The leaderboard page served at the endpoint `base`.
std::string leaderboardUrl(std::string_view base);

// One GET of `url`: the HTTP status of the answer, or 0 when none came within `capMs` (redirects
// followed) or `stop` was set first. `stop` is looked at every 50 ms.
long fetchStatus(const std::string& url, long capMs, const std::atomic<bool>* stop = nullptr);

// The score reports of one run of the game: the one sent at exit and the kept ones sent at start.
// The destructor stops the sending of kept reports and waits for both, so nothing outlives the
// program's network library.
class ScoreReports {
 public:
  // Reports that get no answer are kept in the outbox in `outboxFolder`; with an empty folder
  // they are not kept.
  ScoreReports(Leaderboard where, std::filesystem::path outboxFolder);
  ~ScoreReports();
  ScoreReports(const ScoreReports&) = delete;
  ScoreReports& operator=(const ScoreReports&) = delete;

  // Starts sending the kept reports, oldest first, each given up after `capMs`. Returns at once.
  void deliverKept(long capMs = 5000);
  // Waits until the kept reports are sent or given up; how many were settled (-1 when another
  // copy of the game sends them).
  int waitForKept();

  // The exit's report, sent in the background and given up after `capMs`, when it is kept. Not
  // sent at all when the leaderboard is off. Returns at once.
  void send(const std::string& playerName, int level, int score, long capMs = 2000);
  // Waits until the exit's report is answered, or given up and kept.
  void wait();

  // The address the thank-you message names: the leaderboard page, or the game's home page when
  // no report is sent.
  std::string site() const;

 private:
  const Leaderboard where_;
  const std::filesystem::path outboxFolder_;
  std::atomic<bool> stop_{false};
  std::thread delivery_, exit_;
  int delivered_ = 0;
};

}  // namespace mv
