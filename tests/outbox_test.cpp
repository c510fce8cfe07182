// SPDX-License-Identifier: GPL-3.0-or-later
// The outbox: which lines are kept reports, the cap, atomic and forgiving file handling, which
// answers settle a report, and copies of the game keeping and sending at once.
#include "app/outbox.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <thread>

#include "app/score_report.h"
#include "common/report.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

std::string contentOf(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write(const fs::path& p, const std::string& content) {
  std::ofstream(p, std::ios::binary) << content;
}

std::string report(int level) {
  return reportTarget("ANNA", level, level * 10);
}

// A send that answers with the next status of a script (the last one repeats) and notes what it
// was given.
struct Script {
  explicit Script(std::vector<long> s) : statuses(std::move(s)) {}
  std::vector<long> statuses;
  std::vector<std::string> sent;
  long operator()(const std::string& target) {
    sent.push_back(target);
    return statuses[std::min(sent.size(), statuses.size()) - 1];
  }
};

const std::atomic<bool> kGoOn{false};

TEST(OutboxFormat, EveryReportTheGameMakesIsAKeptLineAndNothingElseIs) {
  for (const char* name :
       {"ANNA", "TOM & JERRY", "X=Y&SCORE=9", "100%", "ÅSA", "ЖУК", "蜘蛛", "🕷"})
    for (const auto& [level, score] : {std::pair{1, 0},
                                       {report::kMaxLevel, report::kMaxScore},
                                       {report::kMaxLevel, -report::kMaxScore}})
      EXPECT_TRUE(outboxLine(reportTarget(name, level, score))) << name;
  const std::string path = "/morvane/mv.asp?";
  for (const std::string& bad : std::vector<std::string>{
           std::string(), path, "/other?action2=add", "http://h" + path + "level=1",
           path + "level=1 2", path + "level=1\r", path + "a#b", path + "a+b", path + "a/b",
           path + "\xC3\x89", path + std::string(1100, 'a')})
    EXPECT_FALSE(outboxLine(bad)) << bad;
}

TEST(OutboxFormat, OnlyATakenOrRefusedReportIsSettled) {
  for (const long status : {200L, 201L, 204L, 400L, 404L, 413L})
    EXPECT_TRUE(settles(status)) << status;
  // No answer, come back later, moved, or the server failing: the report waits.
  for (const long status : {0L, 101L, 301L, 308L, 408L, 429L, 500L, 502L, 503L})
    EXPECT_FALSE(settles(status)) << status;
}

// Each test runs in an empty working directory of its own, its data folder here.
class OutboxTest : public ::testing::Test {
 protected:
  Outbox outbox{"."};
};

TEST_F(OutboxTest, KeepsAtMostAHundredTheOldestDroppedFirst) {
  for (int level = 1; level <= 105; ++level) ASSERT_TRUE(outbox.keep(report(level)));
  const std::vector<std::string> kept = outbox.reports();
  ASSERT_EQ(kept.size(), kOutboxCap);
  EXPECT_EQ(kept.front(), report(6));
  EXPECT_EQ(kept.back(), report(105));
  std::string expected;
  for (int level = 6; level <= 105; ++level) expected += report(level) + "\n";
  EXPECT_EQ(contentOf("outbox"), expected) << "one report a line, oldest first";
  EXPECT_FALSE(fs::exists("outbox.tmp"));
}

TEST_F(OutboxTest, AWriteThatFailsLeavesTheFileAsItWas) {
  ASSERT_TRUE(outbox.keep(report(1)));
  ASSERT_TRUE(outbox.keep(report(2)));
  const std::string before = contentOf("outbox");
  // The new content is written beside the file and renamed over it; here it cannot be.
  fs::create_directories("outbox.tmp/x");
  EXPECT_FALSE(outbox.keep(report(3)));
  EXPECT_EQ(contentOf("outbox"), before);
}

TEST_F(OutboxTest, ADamagedFileLosesOnlyItsBrokenLines) {
  write("outbox", report(1) + "\n" + "garbage\n" + std::string("\0\xFF\x01", 3) + "\n" + report(2) +
                      "\r\n" + "/morvane/mv.asp?" + std::string(5000, 'a') + "\n\n" +
                      report(3));  // the last line was cut short: no line end
  EXPECT_EQ(outbox.reports(), (std::vector<std::string>{report(1), report(2)}));
  ASSERT_TRUE(outbox.keep(report(4)));
  EXPECT_EQ(contentOf("outbox"), report(1) + "\n" + report(2) + "\n" + report(4) + "\n");

  // Megabytes without a line end cost no more than a line.
  write("outbox", std::string(3 << 20, 'x') + "\n" + report(5) + "\n");
  EXPECT_EQ(outbox.reports(), std::vector<std::string>{report(5)});
  fs::remove("outbox");
  fs::create_directory("outbox");
  EXPECT_TRUE(outbox.reports().empty()) << "a folder in its place reads as no reports";
}

TEST_F(OutboxTest, SettledReportsLeaveOneByOneAndTheFirstUnsettledEndsTheRound) {
  for (int level = 1; level <= 4; ++level) ASSERT_TRUE(outbox.keep(report(level)));
  write("outbox", contentOf("outbox") + "broken\n");
  Script first({200, 404, 503});
  EXPECT_EQ(outbox.deliver(std::ref(first), kGoOn), 2);
  EXPECT_EQ(first.sent, (std::vector<std::string>{report(1), report(2), report(3)}));
  EXPECT_EQ(contentOf("outbox"), report(3) + "\n" + report(4) + "\n")
      << "the broken line is gone too";

  Script away({0});
  EXPECT_EQ(outbox.deliver(std::ref(away), kGoOn), 0);
  EXPECT_EQ(away.sent.size(), 1u) << "no answer: the rest wait for the next start";
  EXPECT_EQ(outbox.reports().size(), 2u);

  Script back({200});
  EXPECT_EQ(outbox.deliver(std::ref(back), kGoOn), 2);
  EXPECT_FALSE(fs::exists("outbox"));

  const std::atomic<bool> stop{true};
  ASSERT_TRUE(outbox.keep(report(5)));
  Script stopped({200});
  EXPECT_EQ(outbox.deliver(std::ref(stopped), stop), 0);
  EXPECT_TRUE(stopped.sent.empty());
}

TEST_F(OutboxTest, WithNothingKeptNoFilesAreMade) {
  Script never({200});
  EXPECT_EQ(outbox.deliver(std::ref(never), kGoOn), 0);
  EXPECT_TRUE(never.sent.empty());
  EXPECT_TRUE(fs::is_empty(".")) << "no lock files either";
}

TEST_F(OutboxTest, OneCopySendsAndAReportKeptMeanwhileIsNotLost) {
  ASSERT_TRUE(outbox.keep(report(1)));
  ASSERT_TRUE(outbox.keep(report(2)));
  // Copy A is sending its first report; its server takes its time to answer.
  std::mutex m;
  std::condition_variable cv;
  bool sending = false, answer = false;
  std::vector<std::string> sentByA;
  int settledByA = 0;
  std::thread a([&] {
    Outbox mine(".");
    settledByA = mine.deliver(
        [&](const std::string& target) {
          std::unique_lock lock(m);
          sentByA.push_back(target);
          sending = true;
          cv.notify_all();
          cv.wait(lock, [&] { return answer; });
          return 200L;
        },
        kGoOn);
  });
  {
    std::unique_lock lock(m);
    cv.wait(lock, [&] { return sending; });
  }
  // Copy B starts meanwhile: it leaves the kept reports alone, and keeps its own exit's report.
  Outbox b(".");
  Script sentByB({200});
  EXPECT_EQ(b.deliver(std::ref(sentByB), kGoOn), -1);
  EXPECT_TRUE(sentByB.sent.empty());
  EXPECT_TRUE(b.keep(report(3), 500));
  {
    std::lock_guard lock(m);
    answer = true;
  }
  cv.notify_all();
  a.join();
  EXPECT_EQ(settledByA, 3);
  EXPECT_EQ(sentByA, (std::vector<std::string>{report(1), report(2), report(3)}));
  EXPECT_TRUE(outbox.reports().empty());
}

TEST_F(OutboxTest, CopiesKeepingAndSendingAtOnceSendEveryReportExactlyOnce) {
  std::mutex m;
  std::map<std::string, int> sent;
  std::atomic<bool> keeping{true};
  auto deliverer = [&] {
    Outbox mine(".");
    auto send = [&](const std::string& target) {
      std::lock_guard lock(m);
      ++sent[target];
      return 200L;
    };
    while (keeping) {
      mine.deliver(send, kGoOn);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    mine.deliver(send, kGoOn);
  };
  auto keeper = [&](int from) {
    Outbox mine(".");
    for (int level = from; level < from + 30; ++level) {
      EXPECT_TRUE(mine.keep(report(level)));
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  };
  std::thread d1(deliverer), d2(deliverer), k1(keeper, 1), k2(keeper, 101);
  k1.join();
  k2.join();
  keeping = false;
  d1.join();
  d2.join();
  Script rest({200});
  outbox.deliver(std::ref(rest), kGoOn);
  for (const std::string& target : rest.sent) ++sent[target];
  EXPECT_EQ(sent.size(), 60u);
  for (const auto& [target, times] : sent) EXPECT_EQ(times, 1) << target;
  EXPECT_TRUE(outbox.reports().empty());
}

}  // namespace
}  // namespace mv
