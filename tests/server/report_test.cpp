// SPDX-License-Identifier: GPL-3.0-or-later
// Reading reports: what the game sends is taken, whatever it could not have sent is refused
// with a reason.
#include "server/report.h"

#include <gtest/gtest.h>

#include "common/report.h"

using namespace scores;

namespace {

std::string query(const std::string& player, const std::string& level = "4",
                  const std::string& score = "1520") {
  return "action2=add&playername=" + player + "&level=" + level + "&score=" + score;
}

std::string reason(const std::string& q) {
  const ParsedReport p = parseReport(q);
  EXPECT_FALSE(p.ok) << q;
  return p.reason;
}

}  // namespace

TEST(Report, TakesWhatTheGameSendsEncodedOrNot) {
  for (const std::string player :
       {"ANNA%201.7", "ZO%C3%8B%201.7", "ZOË%201.7", "A%26B%201.7", "A+B%201.7"}) {
    const ParsedReport p = parseReport(query(player));
    ASSERT_TRUE(p.ok) << player << ": " << p.reason;
    EXPECT_EQ(p.report.version, "1.7");
    EXPECT_EQ(p.report.level, 4);
    EXPECT_EQ(p.report.score, 1520);
  }
  EXPECT_EQ(parseReport(query("ZO%C3%8B%201.7")).report.name, "ZOË");
  EXPECT_EQ(parseReport(query("ZOË%201.7")).report.name, "ZOË");
  EXPECT_EQ(parseReport(query("A%26B%201.7")).report.name, "A&B");
  EXPECT_EQ(parseReport(query("A+B%201.7")).report.name, "A+B");  // a plus sign is a name character
  // Keys may come in any order.
  const ParsedReport shuffled = parseReport("score=0&level=1&playername=X%201.7&action2=add");
  ASSERT_TRUE(shuffled.ok);
  EXPECT_EQ(shuffled.report.score, 0);
}

TEST(Report, KeysMustBeExactlyTheFour) {
  EXPECT_EQ(reason(""), "the report is empty");
  EXPECT_EQ(reason("action2=add&playername=A%201.7&level=1"), "key score is missing");
  EXPECT_EQ(reason(query("A%201.7") + "&extra=1"), "unknown key");
  EXPECT_EQ(reason(query("A%201.7") + "&level=2"), "key level is given twice");
  EXPECT_EQ(reason(query("A%201.7") + "&"), "a field has no '='");
  EXPECT_EQ(reason("action2=remove&playername=A%201.7&level=1&score=0"), "action2 is not add");
  EXPECT_EQ(reason(query("A%2")), "bad percent-encoding");
  EXPECT_EQ(reason(query("A%G01.7")), "bad percent-encoding");
}

TEST(Report, NameIsSplitFromTheVersionAtTheLastSpace) {
  EXPECT_EQ(reason(query("ANNA")), "playername has no version behind a space");
  EXPECT_EQ(reason(query("ANNA%20")), "version is not a version number");
  EXPECT_EQ(reason(query("ANNA%20%3Cb%3E")), "version is not a version number");
  // "A B 1.7" leaves "A B", which the game cannot type.
  EXPECT_EQ(reason(query("A%20B%201.7")), "name holds a space or separator");
  const ParsedReport p = parseReport(query("ANNA%202.0-beta"));
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.report.version, "2.0-beta");
  // A version is at most 16 characters.
  EXPECT_TRUE(parseReport(query("ANNA%20" + std::string(16, '9'))).ok);
  EXPECT_EQ(reason(query("ANNA%20" + std::string(17, '9'))), "version is not a version number");
}

TEST(Report, PercentDecodingStaysInsideItsText) {
  // "%4" at the end of a view that a longer buffer goes on behind: the byte after the view must
  // not complete it.
  const std::string buffer = "AB%41";
  std::string out;
  EXPECT_FALSE(percentDecode(std::string_view(buffer).substr(0, 4), out));
  EXPECT_FALSE(percentDecode(std::string_view(buffer).substr(0, 3), out));
  ASSERT_TRUE(percentDecode(buffer, out));
  EXPECT_EQ(out, "ABA");
}

TEST(Report, LevelAndScoreBoundsAreTheGames) {
  using mv::report::kMaxLevel, mv::report::kMaxScore;
  EXPECT_TRUE(parseReport(query("A%201.7", "1", "0")).ok);
  const ParsedReport high =
      parseReport(query("A%201.7", std::to_string(kMaxLevel), std::to_string(kMaxScore)));
  ASSERT_TRUE(high.ok);
  EXPECT_EQ(high.report.level, kMaxLevel);
  const ParsedReport low = parseReport(query("A%201.7", "4", "-" + std::to_string(kMaxScore)));
  ASSERT_TRUE(low.ok);
  EXPECT_EQ(low.report.score, -kMaxScore);
  EXPECT_EQ(parseReport(query("A%201.7", "4", "-30")).report.score, -30);
  EXPECT_EQ(reason(query("A%201.7", "0")), "level is outside 1..10000000");
  EXPECT_EQ(reason(query("A%201.7", std::to_string(kMaxLevel + 1))),
            "level is outside 1..10000000");
  for (const std::string bad : {"", "-1", "1e3", " 4", "4x", "9999999999999999999"})
    EXPECT_EQ(reason(query("A%201.7", bad)), "level is not a number") << bad;
  EXPECT_EQ(reason(query("A%201.7", "4", std::to_string(kMaxScore + 1))),
            "score is beyond 1000000000");
  EXPECT_EQ(reason(query("A%201.7", "4", "-" + std::to_string(kMaxScore + 1))),
            "score is beyond -1000000000");
  for (const std::string bad :
       {"", "-", "--5", "12a", "+5", "1.5", "- 5", "99999999999999999999999999"})
    EXPECT_EQ(reason(query("A%201.7", "4", bad)), "score is not a number") << bad;
}
