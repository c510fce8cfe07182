// SPDX-License-Identifier: GPL-3.0-or-later
// The store contract, run against SQLite and against a real PostgreSQL server.
#include <gtest/gtest.h>

#include "store_fixture.h"

using namespace scores;

using StoreTest = StoreFixture;

TEST_P(StoreTest, KeepsEveryFieldExactly) {
  // Quotes and markup prove the values travel as parameters, never as statement text.
  const Report r{"ZOË'); DROP TABLE reports;--", "1.7", 100000, kMaxScore};
  store->add(r, "2026-12-08T07:50:01Z", "2001:db8::1");
  reopen();
  ASSERT_EQ(store->count(), 1);
  const auto rows = store->best(10);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].name, r.name);
  EXPECT_EQ(rows[0].version, "1.7");
  EXPECT_EQ(rows[0].level, 100000);
  EXPECT_EQ(rows[0].score, kMaxScore);
  EXPECT_EQ(rows[0].received, "2026-12-08T07:50:01Z");
}

TEST_P(StoreTest, BestIsHighestFirstWithTiesInArrivalOrder) {
  insertRaw("LOW", 1, 10);
  insertRaw("FIRST", 2, 500);
  insertRaw("HIGH", 3, 900);
  insertRaw("SECOND", 1, 500);
  const auto rows = store->best(3);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].name, "HIGH");
  EXPECT_EQ(rows[1].name, "FIRST");
  EXPECT_EQ(rows[2].name, "SECOND");
  EXPECT_EQ(store->best(100).size(), 4u);
  EXPECT_EQ(store->count(), 4);
}

TEST_P(StoreTest, BestPerLevelKeepsTheTopOfEachOfTheLowestLevels) {
  for (int i = 0; i < 15; ++i) insertRaw("L2-" + std::to_string(i), 2, i * 10);
  insertRaw("L7", 7, 5);
  insertRaw("L9", 9, 1);
  const auto rows = store->bestPerLevel(10, 2);
  ASSERT_EQ(rows.size(), 11u);  // ten of level 2, one of level 7; level 9 is beyond two levels
  EXPECT_EQ(rows[0].name, "L2-14");
  EXPECT_EQ(rows[9].name, "L2-5");
  EXPECT_EQ(rows[10].name, "L7");
  for (size_t i = 0; i < 10; ++i) EXPECT_EQ(rows[i].level, 2);
  EXPECT_EQ(store->bestPerLevel(10, 200).size(), 12u);
  // Equal scores within a level keep their arrival order.
  insertRaw("L7-LATER", 7, 5);
  const auto withTie = store->bestPerLevel(10, 2);
  ASSERT_EQ(withTie.size(), 12u);
  EXPECT_EQ(withTie[10].name, "L7");
  EXPECT_EQ(withTie[11].name, "L7-LATER");
}

TEST_P(StoreTest, AnEmptyStoreHasNoScores) {
  EXPECT_EQ(store->count(), 0);
  EXPECT_TRUE(store->best(100).empty());
  EXPECT_TRUE(store->bestPerLevel(10, 200).empty());
}

INSTANTIATE_TEST_SUITE_P(Stores, StoreTest, ::testing::Values("sqlite", "postgresql"),
                         storeKindName);

TEST(SqliteStore, AFolderThatCannotHoldTheFileIsAClearError) {
  EXPECT_THROW(openStore("/nonexistent-folder/scores.sqlite"), StoreError);
}

TEST(PostgresStore, AnUnreachableServerIsAClearError) {
  EXPECT_THROW(
      openStore("postgresql://nobody@/none?host=/nonexistent-socket-folder&connect_timeout=2"),
      StoreError);
}

TEST(OpenStore, OnlyAUrlSchemeChoosesPostgreSQL) {
  EXPECT_TRUE(isPostgresUrl("postgresql://u@h/d"));
  EXPECT_TRUE(isPostgresUrl("postgres://u@h/d"));
  // A file whose name merely starts like the scheme is an SQLite file.
  EXPECT_FALSE(isPostgresUrl("postgres.sqlite"));
  EXPECT_FALSE(isPostgresUrl("postgresql.db"));
}
