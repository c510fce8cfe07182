// SPDX-License-Identifier: GPL-3.0-or-later
// Reports through the service: stored only when good, limited per address and minute.
#include "server/service.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>

#include "server/rate_limit.h"
#include "store_fixture.h"

using namespace scores;
using std::chrono::minutes;
using std::chrono::system_clock;

namespace {

const system_clock::time_point kNoon =
    system_clock::from_time_t(1796731200);  // 2026-12-08T12:00:00Z
const std::string kGood = "action2=add&playername=ZO%C3%8B%201.7&level=4&score=1520";

}  // namespace

using ServiceTest = StoreFixture;

TEST_P(ServiceTest, AGoodReportIsStoredWithTimeAndAnsweredOk) {
  ScoreService service(*store, ServiceLimits{20, 0});
  const Reply reply = service.report(kGood, "198.51.100.7", kNoon);
  EXPECT_EQ(reply.status, 200);
  EXPECT_EQ(reply.body(), "ok");
  EXPECT_EQ(reply.contentType, "text/plain; charset=utf-8");
  const auto rows = store->bestPlayers(1);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].name, "ZOË");
  EXPECT_EQ(rows[0].received, "2026-12-08T12:00:00Z");
  EXPECT_NE(service.json().body().find("\"name\":\"ZOË\""), std::string::npos);
  EXPECT_EQ(service.page().contentType, "text/html; charset=utf-8");
}

TEST_P(ServiceTest, ABadReportStoresNothingAndSaysWhyOnOneLine) {
  ScoreService service(*store, ServiceLimits{20, 0});
  const Reply reply =
      service.report("action2=add&playername=ANNA%0A%201.7&level=4&score=1", "198.51.100.7", kNoon);
  EXPECT_EQ(reply.status, 400);
  EXPECT_EQ(reply.body(), "name holds a control character");
  EXPECT_EQ(store->count(), 0);
}

TEST_P(ServiceTest, EachAddressHasItsShareOfAMinute) {
  ScoreService service(*store, ServiceLimits{3, 0});
  for (int i = 0; i < 3; ++i) EXPECT_EQ(service.report(kGood, "198.51.100.7", kNoon).status, 200);
  const Reply over = service.report(kGood, "198.51.100.7", kNoon + std::chrono::seconds(59));
  EXPECT_EQ(over.status, 429);
  // Bad reports use up the share too, so flooding with them gains nothing.
  EXPECT_EQ(service.report("junk", "198.51.100.7", kNoon).status, 429);
  EXPECT_EQ(service.report(kGood, "203.0.113.5", kNoon).status, 200);
  EXPECT_EQ(service.report(kGood, "198.51.100.7", kNoon + minutes(1)).status, 200);
  EXPECT_EQ(store->count(), 5);
}

TEST_P(ServiceTest, TheMinutesReportsInAllAreCappedWhateverTheirAddresses) {
  ScoreService service(*store, ServiceLimits{20, 3});
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(service.report(kGood, "198.51.100." + std::to_string(i), kNoon).status, 200);
  // A bad report is refused for what it is and uses up none of the minute's reports.
  EXPECT_EQ(service.report("junk", "198.51.100.9", kNoon).status, 400);
  const Reply over = service.report(kGood, "203.0.113.5", kNoon);
  EXPECT_EQ(over.status, 429);
  EXPECT_EQ(over.body(), "the leaderboard takes no more reports this minute; try again later");
  EXPECT_EQ(service.report(kGood, "203.0.113.5", kNoon + minutes(1)).status, 200);
  EXPECT_EQ(store->count(), 4);
}

TEST_P(ServiceTest, ThePageIsBuiltAtMostOnceInItsCacheTime) {
  ScoreService cached(*store, ServiceLimits{0, 0, std::chrono::hours(1)});
  ScoreService fresh(*store, ServiceLimits{0, 0, std::chrono::milliseconds(0)});
  const Reply before = cached.page();
  EXPECT_EQ(cached.report(kGood, "198.51.100.7", kNoon).status, 200);
  EXPECT_EQ(cached.page().content, before.content);  // the very same text, not a copy
  EXPECT_EQ(cached.json().body().find("ZO"), std::string::npos);
  EXPECT_NE(fresh.json().body().find("\"name\":\"ZOË\""), std::string::npos);
}

TEST_P(ServiceTest, AHiddenReportIsGoneAtTheNextViewWhateverTheCache) {
  ScoreService service(*store, ServiceLimits{0, 0, std::chrono::hours(1)});
  EXPECT_EQ(service.report(kGood, "198.51.100.7", kNoon).status, 200);
  ASSERT_NE(service.json().body().find("ZOË"), std::string::npos);
  // Hidden through a store of its own, as the command line does while the server runs.
  const auto other = openStore(where());
  EXPECT_EQ(other->hideName("ZOË", true), 1);
  EXPECT_EQ(service.json().body().find("ZOË"), std::string::npos);
  EXPECT_EQ(service.page().body().find("ZOË"), std::string::npos);
  EXPECT_EQ(other->hideName("ZOË", false), 1);
  EXPECT_NE(service.page().body().find("ZOË"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Stores, ServiceTest, ::testing::Values("sqlite", "postgresql"),
                         storeKindName);

namespace {

// A store whose database has gone away.
struct BrokenStore : FakeStore {
  void add(const Report&, const std::string&, const std::string&) override {
    throw StoreError("disk full");
  }
  std::vector<Score> bestPlayers(int) override { throw StoreError("disk full"); }
  std::vector<Score> bestPerLevel(int, int) override { throw StoreError("disk full"); }
  std::int64_t count() override { throw StoreError("disk full"); }
  std::int64_t moderation() override { throw StoreError("disk full"); }
  std::int64_t countInMinute(const std::string&, std::int64_t) override {
    throw StoreError("disk full");
  }
};

}  // namespace

TEST(Service, AFailingStoreIsReportedNotTakenForSuccess) {
  BrokenStore broken;
  std::string heard;
  ScoreService service(broken, ServiceLimits{0, 0}, [&](const std::string& e) { heard = e; });
  const Reply reply = service.report(kGood, "198.51.100.7", kNoon);
  EXPECT_EQ(reply.status, 503);
  // The client hears nothing of the cause; the server's log does.
  EXPECT_EQ(reply.body(), "store unavailable");
  EXPECT_EQ(heard, "disk full");
  EXPECT_EQ(service.page().status, 503);
  EXPECT_EQ(service.json().status, 503);
}

TEST(RateKey, IPv6ClientsCountByTheirSlash64AndMappedIPv4AsIPv4) {
  EXPECT_EQ(rateKey("198.51.100.7"), "198.51.100.7");
  EXPECT_EQ(rateKey("::ffff:198.51.100.7"), "198.51.100.7");
  EXPECT_EQ(rateKey("2001:db8:1:2:aaaa:bbbb:cccc:dddd"), "2001:db8:1:2::/64");
  EXPECT_EQ(rateKey("2001:db8:1:2::1"), rateKey("2001:db8:1:2:ffff::9"));
  EXPECT_NE(rateKey("2001:db8:1:2::1"), rateKey("2001:db8:1:3::1"));
  EXPECT_EQ(rateKey("::1"), "::/64");
  EXPECT_EQ(rateKey("not an address"), "not an address");
  sockaddr_in6 mapped{};
  mapped.sin6_family = AF_INET6;
  inet_pton(AF_INET6, "::ffff:203.0.113.9", &mapped.sin6_addr);
  EXPECT_EQ(clientAddress(reinterpret_cast<sockaddr*>(&mapped)), "203.0.113.9");
}
