// SPDX-License-Identifier: GPL-3.0-or-later
// The score report sent at exit: a plain web request to our score endpoint, made in the
// background so that a slow or dead network never holds up leaving the game.
#pragma once

#include <string>
#include <string_view>
#include <thread>

namespace mv {

// Scheme, host and port of the score endpoint; MORVANE_SCORE_URL overrides it. By default a
// leaderboard on this machine: morvane-scores listens here unless told otherwise.
inline constexpr std::string_view kScoreBase = "http://127.0.0.1:8080";

// Percent-encodes everything but the unreserved characters, so a value can never end its
// field or start another one.
std::string percentEncode(std::string_view value);

// The report's URL. The player-name field carries the version behind a space.
std::string scoreUrl(std::string_view base, std::string_view playerName, int level, int score);

// The leaderboard page served at the endpoint `base`.
std::string leaderboardUrl(std::string_view base);

// The endpoint base in use: MORVANE_SCORE_URL when set and not empty, else kScoreBase.
std::string scoreBase();

// One fire-and-forget request. start() returns at once; the request gives up after `capMs`.
// The destructor waits for it, so it never outlives the program's network library.
class ScoreReport {
 public:
  ScoreReport() = default;
  ~ScoreReport() { wait(); }
  ScoreReport(const ScoreReport&) = delete;
  ScoreReport& operator=(const ScoreReport&) = delete;

  void start(std::string url, long capMs = 2000);
  void wait();

 private:
  std::thread worker_;
};

}  // namespace mv
