// SPDX-License-Identifier: GPL-3.0-or-later
// One report contract: every report the game can send, built by the game's own scoreUrl() at the
// bounds of common/report.h, is taken by the server and stored exactly.
#include <gtest/gtest.h>

#include "app/score_report.h"
#include "common/names.h"
#include "common/report.h"
#include "common/utf8.h"
#include "server/http.h"
#include "server/service.h"
#include "store_fixture.h"

using namespace scores;

namespace {

// Names of the longest length in several scripts, one character, and characters that mean
// something in a URL.
const std::vector<std::string> kNames = {
    "ABCDEFGHIJKL",
    "ЖЁЛТЫЙКОРОБЩ",
    "ΑΒΓΔΕΖΗΘΙΚΛΜ",
    "日本語のなまえです漢字仮",
    "מרחבאבגדהוזח",
    "ÅÉÎÕÜßÇÑØŒÆŸ",
    "A+B&C=D%E#F!",
    "🕷🕸🌙🕷🕸🌙🕷🕸🌙🕷🕸🌙",
    "ابتثجحخدذرزس",
    "कखगघङचछजझञटठ",
    "가나다라마바사아자차카타",
    "1.2-3_4~5'6!",
    "Z",
    "Ж",
};

}  // namespace

using ContractTest = StoreFixture;

TEST_P(ContractTest, EveryReportTheGameCanSendIsStoredExactly) {
  using mv::report::kMaxLevel, mv::report::kMaxScore;
  ScoreService service(*store, ServiceLimits{0, 0});
  const auto now = std::chrono::system_clock::now();
  const std::string base = "http://127.0.0.1:8080";
  int sent = 0;
  for (const std::string& name : kNames) {
    std::u32string chars;
    ASSERT_TRUE(mv::decodeUtf8(name, chars));
    ASSERT_EQ(mv::nameRefusal(name), "") << name;  // a name the game's name entry can make
    ASSERT_LE(chars.size(), static_cast<size_t>(mv::report::kMaxNameLength));
    for (const int level : {1, kMaxLevel})
      for (const int score : {-kMaxScore, -1, 0, kMaxScore}) {
        const std::string url = mv::scoreUrl(base, name, level, score);
        ASSERT_EQ(url.rfind(base, 0), 0u);
        const Reply reply = route(service, "GET", url.substr(base.size()), "192.0.2.1", now);
        ASSERT_EQ(reply.status, 200) << url << ": " << reply.body();
        ++sent;
        const std::vector<StoredReport> stored = store->list(name, false, 1);
        ASSERT_EQ(stored.size(), 1u) << name;
        EXPECT_EQ(stored[0].report.name, name);
        EXPECT_EQ(stored[0].report.version, mv::report::kVersion);
        EXPECT_EQ(stored[0].report.level, level);
        EXPECT_EQ(stored[0].report.score, score);
      }
  }
  EXPECT_EQ(store->count(), sent);
  // Each player shows once, with their highest score at the earliest of its levels.
  const auto best = store->bestPlayers(100);
  ASSERT_EQ(best.size(), kNames.size());
  for (const Score& s : best) {
    EXPECT_EQ(s.score, kMaxScore);
    EXPECT_EQ(s.level, 1);
    EXPECT_EQ(s.games, 8);
  }
}

INSTANTIATE_TEST_SUITE_P(Stores, ContractTest, ::testing::Values("sqlite", "postgresql"),
                         storeKindName);
