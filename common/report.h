// SPDX-License-Identifier: GPL-3.0-or-later
// The score report's format: what the game sends at exit and the score server reads. One place
// for the path, the keys, the version and the limits, so the two cannot drift apart.
//   GET /morvane/mv.asp?action2=add&playername=NAME%201.7&level=L&score=S
// The player-name field carries the game's version behind a space; values are percent-encoded.
#pragma once

#include <cstddef>
#include <string_view>

#include "common/names.h"

namespace mv::report {

inline constexpr std::string_view kPath = "/morvane/mv.asp";

inline constexpr std::string_view kActionKey = "action2";
inline constexpr std::string_view kAdd = "add";
inline constexpr std::string_view kNameKey = "playername";
inline constexpr std::string_view kLevelKey = "level";
inline constexpr std::string_view kScoreKey = "score";

// The game's version, sent behind the name; a version is at most this many characters of
// 0-9, A-Z, a-z, '.', '-' and '_'.
inline constexpr std::string_view kVersion = "1.7";
inline constexpr std::size_t kMaxVersionLength = 16;

// The game's own bounds. The highest level a save file can bring back: even at one level every
// two seconds, ten million levels take over seven months without a break.
inline constexpr int kMaxLevel = 10'000'000;
// The largest score either way (dead spiders cost points, so a total can fall below zero). Far
// beyond what play hands out, and room to count on without overflow.
inline constexpr int kMaxScore = 1'000'000'000;
// Names follow the game's name rules (common/names.h), at most kNameLength characters.
inline constexpr int kMaxNameLength = kNameLength;

}  // namespace mv::report
