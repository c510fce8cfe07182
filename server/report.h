// SPDX-License-Identifier: GPL-3.0-or-later
// Reading one score report from the query string the game sends (common/report.h):
//   action2=add&playername=NAME%201.7&level=L&score=S
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace scores {

struct Report {
  std::string name;
  std::string version;
  int level = 0;
  std::int64_t score = 0;
};

struct ParsedReport {
  bool ok = false;
  Report report;
  std::string reason;  // one line, set when !ok
};

// Percent-decodes `text`; '+' stays a plus sign, as the game's names may hold one. False on a
// '%' not followed by two hex digits.
bool percentDecode(std::string_view text, std::string& out);

// Checks every key and value. Each of the four keys must come exactly once; values may arrive
// percent-encoded or as they are. The name is split from the game's version at the last space.
// Everything the game can send is taken (common/report.h: levels 1..kMaxLevel, scores
// -kMaxScore..kMaxScore, names by the game's name rules); only what it never sends is refused.
ParsedReport parseReport(std::string_view query);

}  // namespace scores
