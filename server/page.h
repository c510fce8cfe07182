// SPDX-License-Identifier: GPL-3.0-or-later
// The leaderboard as a page and as JSON: the best scores overall and the best of each level.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "server/store.h"

namespace scores {

inline constexpr int kBestShown = 100;
inline constexpr int kBestPerLevel = 10;
// Levels with a table of their own, lowest first; bounds the page whatever the store holds.
inline constexpr int kLevelTables = 200;

struct Leaderboard {
  std::vector<Score> best;      // each player once, with their best report and games
  std::vector<Score> perLevel;  // by level, each player's best of the level, best first
  std::int64_t reports = 0;
};

Leaderboard readLeaderboard(Store& store);

// Text made safe for HTML element content and attribute values; bytes that are not UTF-8
// become U+FFFD.
std::string htmlEscape(std::string_view text);
// A JSON string literal, quotes included, that no HTML parser mistakes for markup.
std::string jsonString(std::string_view text);

// One self-contained HTML page (styles inline, no script), readable from phone width up.
std::string renderPage(const Leaderboard& board);
std::string renderJson(const Leaderboard& board);

}  // namespace scores
