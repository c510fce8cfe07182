// SPDX-License-Identifier: GPL-3.0-or-later
// The moderation commands, run as the command line runs them, against both stores.
#include "server/moderation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "store_fixture.h"

using namespace scores;

namespace {

struct Outcome {
  int status;
  std::string out, err;
};

Outcome run(std::vector<std::string> args) {
  std::ostringstream out, err;
  const int status = runModeration(args, out, err);
  return {status, out.str(), err.str()};
}

}  // namespace

TEST(Moderation, MistakesAreRefusedBeforeTheStoreIsOpened) {
  for (const std::vector<std::string>& bad : {std::vector<std::string>{"hide"},
                                              {"hide", "12", "--name", "ANNA"},
                                              {"hide", "0"},
                                              {"hide", "12x"},
                                              {"unhide", "--hidden"},
                                              {"list", "7"},
                                              {"list", "--last", "0"},
                                              {"list", "--db"}}) {
    const Outcome r = run(bad);
    EXPECT_EQ(r.status, 2) << bad.back();
    EXPECT_NE(r.err.find("morvane-scores " + bad[0] + ": "), std::string::npos) << r.err;
  }
  EXPECT_TRUE(isModerationCommand("hide"));
  EXPECT_FALSE(isModerationCommand("--db"));
}

using ModerationTest = StoreFixture;

TEST_P(ModerationTest, ListHideAndUnhide) {
  insertRaw("ANNA", 1, 100);
  insertRaw("BOB", 2, 300);
  insertRaw("ANNA", 3, 500);
  insertRaw("A\x01Z", 3, 5);  // a control character a report could never carry, shown escaped
  const std::string db = where();
  Outcome r = run({"list", "--db", db, "--name", "ANNA"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 3);  // a heading and two reports
  const auto newest = store->list("ANNA", false, 1)[0].id;
  EXPECT_EQ(r.out.find(std::to_string(newest) + "\t2026-01-01T00:00:00Z\t3\t500\tANNA\t1.7\t"),
            r.out.find('\n') + 1)
      << r.out;
  EXPECT_NE(run({"list", "--db", db}).out.find("\tA\\x01Z\t"), std::string::npos);
  r = run({"hide", "--db", db, std::to_string(newest)});
  EXPECT_EQ(r.out, "hidden: 1 report\n");
  EXPECT_EQ(store->bestPlayers(10)[0].name, "BOB");
  r = run({"list", "--db", db, "--hidden"});
  EXPECT_NE(r.out.find("\tANNA\t1.7\t192.0.2.1\thidden\n"), std::string::npos) << r.out;
  EXPECT_EQ(run({"hide", "--db", db, "--name", "BOB"}).out, "hidden: 1 report\n");
  EXPECT_EQ(run({"unhide", "--db", db, "--name", "ANNA"}).out, "shown again: 1 report\n");
  EXPECT_EQ(store->bestPlayers(10)[0].name, "ANNA");
  EXPECT_EQ(store->count(), 3);
  r = run({"list", "--db", db, "--last", "2"});
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 3);
}

INSTANTIATE_TEST_SUITE_P(Stores, ModerationTest, ::testing::Values("sqlite", "postgresql"),
                         storeKindName);
