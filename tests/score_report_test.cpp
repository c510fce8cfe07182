// SPDX-License-Identifier: GPL-3.0-or-later
// The score report: its URL, the exit's report against local servers that answer, refuse, fail
// or stay silent, and the kept reports sent at a later start.
#include "app/score_report.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <thread>

#include "app/main_form.h"
#include "app/outbox.h"
#include "core/startup.h"
#include "local_http.h"

namespace mv {
namespace {

using test::DeadPort;
using test::LocalHttp;

std::string percentDecode(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size()) {
      out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += s[i] == '+' ? ' ' : s[i];
    }
  }
  return out;
}

// Splits a query the way a web server does: fields at '&', key and value at the first '='.
std::map<std::string, std::string> queryFields(const std::string& target) {
  std::map<std::string, std::string> fields;
  const auto q = target.find('?');
  if (q == std::string::npos) return fields;
  std::string query = target.substr(q + 1);
  if (const auto hash = query.find('#'); hash != std::string::npos) query.erase(hash);
  size_t start = 0;
  while (start <= query.size()) {
    const auto end = std::min(query.find('&', start), query.size());
    const std::string field = query.substr(start, end - start);
    const auto eq = field.find('=');
    fields[percentDecode(field.substr(0, eq))] =
        eq == std::string::npos ? "" : percentDecode(field.substr(eq + 1));
    start = end + 1;
  }
  return fields;
}

TEST(ScoreUrl, ValuesArriveExactlyWhateverTheNameHolds) {
  const std::string anna = scoreUrl("http://host:81", "Anna", 4, 1520);
  EXPECT_EQ(anna,
            "http://host:81/morvane/mv.asp?action2=add&playername=Anna%201.7&level=4&score=1520");
  for (const std::string name : {"Anna Lee", "Tom & Jerry", "A#1", "x=y&score=999999", "100%"}) {
    const auto f = queryFields(scoreUrl("http://host", name, 12, -30));
    EXPECT_EQ(f.size(), 4u) << name;
    EXPECT_EQ(f.at("action2"), "add");
    EXPECT_EQ(f.at("playername"), name + " 1.7");
    EXPECT_EQ(f.at("level"), "12");
    EXPECT_EQ(f.at("score"), "-30") << name;
  }
  EXPECT_EQ(scoreUrl("http://host/", "A", 1, 0).find("host//"), std::string::npos);
}

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t0) {
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

// Reports made in the test's own empty working directory, which serves as the data folder.
Leaderboard at(const std::string& base) {
  return {false, base};
}

TEST(ScoreReports, AnAnsweredReportArrivesWithItsFieldsDecodedAndIsNotKept) {
  LocalHttp server({200});
  {
    ScoreReports reports(at(server.base()), ".");
    reports.send("Tom & Jerry", 4, 1520);
  }
  ASSERT_EQ(server.targets().size(), 1u);
  const std::string target = server.targets()[0];
  EXPECT_EQ(target.substr(0, target.find('?')), "/morvane/mv.asp");
  const auto f = queryFields(target);
  EXPECT_EQ(f.at("action2"), "add");
  EXPECT_EQ(f.at("playername"), "Tom & Jerry 1.7");
  EXPECT_EQ(f.at("level"), "4");
  EXPECT_EQ(f.at("score"), "1520");
  EXPECT_FALSE(std::filesystem::exists("outbox"));
}

TEST(ScoreReports, AReportWithoutAnAnswerWithinTheCapIsKeptAndARefusedOneIsNot) {
  struct Case {
    const char* server;
    bool kept;
  };
  for (const Case c : {Case{"silent", true}, Case{"down", true}, Case{"503", true},
                       Case{"429", true}, Case{"400", false}, Case{"204", false}}) {
    std::filesystem::remove("outbox");
    const std::string what = c.server;
    std::optional<LocalHttp> server;
    DeadPort dead;
    if (what == "silent") server.emplace(std::vector<int>{0});
    if (what != "silent" && what != "down") server.emplace(std::vector<int>{std::stoi(what)});
    const auto t0 = Clock::now();
    {
      ScoreReports reports(at(server ? server->base() : dead.base()), ".");
      reports.send("ANNA", 3, 90, 300);
      reports.wait();
    }
    EXPECT_LT(secondsSince(t0), 1.5) << what << ": the cap ends the request";
    const std::vector<std::string> kept = Outbox(".").reports();
    if (c.kept)
      EXPECT_EQ(kept, std::vector<std::string>{reportTarget("ANNA", 3, 90)}) << what;
    else
      EXPECT_TRUE(kept.empty()) << what;
  }
}

TEST(ScoreReports, KeptReportsGoOldestFirstToTheLeaderboardInForce) {
  Outbox outbox(".");
  ASSERT_TRUE(outbox.keep(reportTarget("ANNA", 2, 40)));
  ASSERT_TRUE(outbox.keep(reportTarget("BO", 9, -15)));
  LocalHttp server({200, 400});
  ScoreReports reports(at(server.base() + "/"), ".");
  reports.deliverKept();
  EXPECT_EQ(reports.waitForKept(), 2);
  EXPECT_EQ(server.targets(),
            (std::vector<std::string>{reportTarget("ANNA", 2, 40), reportTarget("BO", 9, -15)}));
  EXPECT_TRUE(outbox.reports().empty());
  EXPECT_FALSE(std::filesystem::exists("outbox")) << "an empty outbox is removed";
}

TEST(ScoreReports, LeavingStopsSendingKeptReportsAtOnceAndKeepsTheUnanswered) {
  Outbox outbox(".");
  ASSERT_TRUE(outbox.keep(reportTarget("ANNA", 2, 40)));
  LocalHttp server({0});
  const auto t0 = Clock::now();
  {
    ScoreReports reports(at(server.base()), ".");
    reports.deliverKept(5000);
    while (server.targets().empty() && secondsSince(t0) < 3)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_LT(secondsSince(t0), 1.5) << "not held up by the silent server's 5 s";
  EXPECT_EQ(server.targets().size(), 1u);
  EXPECT_EQ(outbox.reports().size(), 1u);
}

TEST(ScoreReports, OffSendsAndKeepsNothingAndTheThanksNameTheHomePage) {
  Outbox outbox(".");
  ASSERT_TRUE(outbox.keep(reportTarget("ANNA", 2, 40)));
  {
    ScoreReports reports(Leaderboard{true, {}}, ".");
    reports.deliverKept();
    reports.send("BO", 5, 100);
    reports.wait();
    EXPECT_EQ(reports.waitForKept(), 0);
    EXPECT_EQ(reports.site(), "https://www.morvane.example/");
    EXPECT_EQ(thankYouText("BO", reports.site()),
              "Thank you BO for playing. Your game is automatically saved. Be sure to check out "
              "other games at https://www.morvane.example/");

    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    {
      Catalogue cat;
      TMainForm form(cat, 5, &reports);
      EXPECT_EQ(form.leaderboardPage(), "https://www.morvane.example/");
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
  EXPECT_EQ(outbox.reports(), std::vector<std::string>{reportTarget("ANNA", 2, 40)})
      << "left for when reports are on again";
  EXPECT_EQ(ScoreReports(at("http://scores.test:81/"), ".").site(), "http://scores.test:81/");
}

}  // namespace
}  // namespace mv
