// SPDX-License-Identifier: GPL-3.0-or-later
// The leaderboard page and JSON: built from whatever the store holds, always escaped.
#include "server/page.h"

#include <gtest/gtest.h>

#include "store_fixture.h"

using namespace scores;

TEST(Escaping, MarkupQuotesAndBadBytes) {
  EXPECT_EQ(htmlEscape("<script>alert(1)</script>"), "&lt;script&gt;alert(1)&lt;/script&gt;");
  EXPECT_EQ(htmlEscape("A&B \"x\" 'y'"), "A&amp;B &quot;x&quot; &#39;y&#39;");
  EXPECT_EQ(htmlEscape("ZOË\xFF"), "ZOË\uFFFD");
  EXPECT_EQ(jsonString("a\"b\\c\n</script>"), "\"a\\\"b\\\\c\\u000a\\u003c/script\\u003e\"");
  EXPECT_EQ(jsonString("ZOË"), "\"ZOË\"");
}

using PageTest = StoreFixture;

TEST_P(PageTest, NamesFromTheStoreShowAsPlainText) {
  insertRaw("<script>alert(1)</script>", 3, 300);
  insertRaw("A&B", 3, 200);
  insertRaw("ZOË", 5, 1234567);
  const Leaderboard board = readLeaderboard(*store);
  const std::string page = renderPage(board);
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
  EXPECT_NE(page.find("<bdi>A&amp;B</bdi>"), std::string::npos);
  EXPECT_NE(page.find("<bdi>ZOË</bdi>"), std::string::npos);
  EXPECT_NE(page.find("<h3>Level 3</h3>"), std::string::npos);
  EXPECT_NE(page.find("<h3>Level 5</h3>"), std::string::npos);
  EXPECT_NE(page.find("3 reports received"), std::string::npos);
  EXPECT_NE(page.find("1\u202F234\u202F567"), std::string::npos);  // long scores grouped in threes
  const std::string json = renderJson(board);
  EXPECT_EQ(json.find('<'), std::string::npos);
  EXPECT_NE(json.find("\"levels\":[{\"level\":3,\"best\":[{\"name\":\"\\u003cscript"),
            std::string::npos);
  EXPECT_NE(json.find("{\"level\":5,\"best\":[{\"name\":\"ZOË\""), std::string::npos);
}

TEST_P(PageTest, ShowsTheBestHundredAndTenPerLevel) {
  for (int i = 1; i <= 120; ++i) insertRaw("P" + std::to_string(i), 1 + i % 2, i);
  const Leaderboard board = readLeaderboard(*store);
  ASSERT_EQ(board.best.size(), 100u);
  EXPECT_EQ(board.best.front().name, "P120");
  EXPECT_EQ(board.best.back().name, "P21");
  ASSERT_EQ(board.perLevel.size(), 20u);
  EXPECT_EQ(board.perLevel[0].name, "P120");  // level 1: the even numbers
  EXPECT_EQ(board.perLevel[10].name, "P119");
  const std::string page = renderPage(board);
  EXPECT_NE(page.find("120 reports received"), std::string::npos);
}

TEST_P(PageTest, EachPlayerOnceWithTheirGamesAndNegativeScoresWithAMinus) {
  insertRaw("ANNA", 2, 700);
  insertRaw("ANNA", 3, 900);
  insertRaw("ANNA", 3, 100);
  insertRaw("BOB", 3, -1500);
  const Leaderboard board = readLeaderboard(*store);
  const std::string page = renderPage(board);
  EXPECT_EQ(page.find("<bdi>ANNA</bdi>"), page.rfind("<bdi>ANNA</bdi>", page.find("<h3>")));
  EXPECT_NE(page.find("<td class=n>900</td><td class=\"n games\">3</td>"), std::string::npos);
  EXPECT_NE(page.find("\u22121\u202F500"), std::string::npos);
  const std::string json = renderJson(board);
  EXPECT_NE(json.find("{\"name\":\"ANNA\",\"version\":\"1.7\",\"level\":3,\"score\":900,"
                      "\"games\":3,"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("\"score\":-1500,\"games\":1,"), std::string::npos);
  // Level 3 lists each player once: ANNA's 900, not her 100.
  EXPECT_NE(json.find("{\"level\":3,\"best\":[{\"name\":\"ANNA\",\"version\":\"1.7\",\"level\":3,"
                      "\"score\":900,\"received\":\"2026-01-01T00:00:00Z\"},{\"name\":\"BOB\""),
            std::string::npos)
      << json;
}

TEST_P(PageTest, AnEmptyLeaderboardSaysSo) {
  const std::string page = renderPage(readLeaderboard(*store));
  EXPECT_NE(page.find("No scores yet."), std::string::npos);
  EXPECT_EQ(renderJson(readLeaderboard(*store)), "{\"reports\":0,\"best\":[],\"levels\":[]}\n");
}

INSTANTIATE_TEST_SUITE_P(Stores, PageTest, ::testing::Values("sqlite", "postgresql"),
                         storeKindName);
