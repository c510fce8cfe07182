// SPDX-License-Identifier: GPL-3.0-or-later
// The score report as the game builds it, read by the score server's own parser: every report
// the game can send, up to its limits on level, score and name, must be accepted and arrive
// exactly.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/score_report.h"
#include "common/names.h"
#include "common/report.h"
#include "common/utf8.h"
#include "server/report.h"

namespace {

using mv::report::kMaxLevel;
using mv::report::kMaxScore;

// Names of the longest length the game allows, in several scripts and byte lengths, and one of
// the characters a query gives a meaning to.
const std::vector<std::string> kNames = {
    "ABCDEFGHIJKL",                                      // Latin
    "ÅÄÖÜÉÈÊÑÇØÆŒ",                                      // Latin with diacritics, two bytes each
    "ΑΒΓΔΕΖΗΘΙΚΛΜ",                                      // Greek
    "АБВГДЕЖЗИЙКЛ",                                      // Cyrillic
    "ابتثجحخدذرزس",                                      // Arabic, right to left
    "אבגדהוזחטיכל",                                      // Hebrew
    "कखगघङचछजझञटठ",                                      // Devanagari, three bytes each
    "蜘蛛宝石迷宫谜题游戏玩家",                          // Chinese
    "アイウエオカキクケコサシ",                          // Japanese katakana
    "가나다라마바사아자차카타",                          // Korean
    "🕷🕸💎🔮🗝🎲🃏🀄🎴🧩🧿🪄",  // four bytes each
    "A+B&C=D%E#F;",                                      // what a query could mistake for its own
    "1.2-3_4~5'6!",
};

// The level and score pairs at the game's bounds.
const std::vector<std::pair<int, int>> kBounds = {
    {1, 0},         {1, kMaxScore},         {1, -kMaxScore},
    {kMaxLevel, 0}, {kMaxLevel, kMaxScore}, {kMaxLevel, -kMaxScore}};

scores::ParsedReport serverReads(const std::string& name, int level, int score) {
  const std::string url = mv::scoreUrl("http://scores.test:8080", name, level, score);
  return scores::parseReport(url.substr(url.find('?') + 1));
}

TEST(ReportContract, TheNamesAreOnesTheGameCanSend) {
  for (const std::string& name : kNames) {
    std::u32string chars;
    ASSERT_TRUE(mv::decodeUtf8(name, chars)) << name;
    EXPECT_EQ(chars.size(), static_cast<size_t>(mv::report::kMaxNameLength)) << name;
    EXPECT_EQ(mv::nameRefusal(name), "") << name;
  }
}

// A refusal that only a server still keeping its former limits gives: no negative score, no
// level above 100,000 (nor of more than six digits).
bool formerServerLimit(const std::string& reason, int level, int score) {
  if (score < 0 && reason == "score is negative") return true;
  return level > 100'000 &&
         (reason == "level is outside 1..100000" || reason == "level is not a number");
}

TEST(ReportContract, EveryReportAtTheGamesBoundsArrivesExactly) {
  std::vector<std::string> waiting;
  for (const std::string& name : kNames) {
    for (const auto& [level, score] : kBounds) {
      const std::string what =
          name + " level " + std::to_string(level) + " score " + std::to_string(score);
      const scores::ParsedReport parsed = serverReads(name, level, score);
      if (!parsed.ok && formerServerLimit(parsed.reason, level, score)) {
        waiting.push_back(what + ": " + parsed.reason);
        continue;
      }
      ASSERT_TRUE(parsed.ok) << what << ": " << parsed.reason;
      EXPECT_EQ(parsed.report.name, name) << what;
      EXPECT_EQ(parsed.report.version, mv::report::kVersion) << what;
      EXPECT_EQ(parsed.report.level, level) << what;
      EXPECT_EQ(parsed.report.score, score) << what;
    }
  }
  if (!waiting.empty())
    GTEST_SKIP() << waiting.size() << " reports wait for the server to take negative scores and "
                 << "levels up to " << kMaxLevel << " (the server's change to the game's "
                 << "limits), the first: " << waiting.front();
}

}  // namespace
