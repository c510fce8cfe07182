// SPDX-License-Identifier: GPL-3.0-or-later
// The store contract, run against SQLite and against a real PostgreSQL server.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <thread>

#include "common/report.h"
#include "store_fixture.h"

using namespace scores;

using StoreTest = StoreFixture;

TEST_P(StoreTest, KeepsEveryFieldExactly) {
  // Quotes and markup prove the values travel as parameters, never as statement text; quotes,
  // backslashes and braces that they travel whole in array elements.
  const Report r{"ZOË\"\\{},'); DROP TABLE reports;--", "1.7", mv::report::kMaxLevel,
                 mv::report::kMaxScore};
  store->add(r, "2026-12-08T07:50:01Z", "2001:db8::1");
  reopen();
  ASSERT_EQ(store->count(), 1);
  const auto rows = store->bestPlayers(10);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].name, r.name);
  EXPECT_EQ(rows[0].games, 1);
  EXPECT_EQ(rows[0].version, "1.7");
  EXPECT_EQ(rows[0].level, mv::report::kMaxLevel);
  EXPECT_EQ(rows[0].score, mv::report::kMaxScore);
  EXPECT_EQ(rows[0].received, "2026-12-08T07:50:01Z");
  const auto listed = store->list("", false, 10);
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].report.name, r.name);
  EXPECT_EQ(listed[0].address, "2001:db8::1");
  EXPECT_FALSE(listed[0].hidden);
}

TEST_P(StoreTest, BestIsHighestFirstWithTiesInArrivalOrder) {
  insertRaw("LOW", 1, 10);
  insertRaw("FIRST", 2, 500);
  insertRaw("HIGH", 3, 900);
  insertRaw("SECOND", 1, 500);
  const auto rows = store->bestPlayers(3);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].name, "HIGH");
  EXPECT_EQ(rows[1].name, "FIRST");
  EXPECT_EQ(rows[2].name, "SECOND");
  EXPECT_EQ(store->bestPlayers(100).size(), 4u);
  EXPECT_EQ(store->count(), 4);
}

TEST_P(StoreTest, EachPlayerShowsOnceWithTheirBestAndTheirGames) {
  insertRaw("ANNA", 1, 100);
  insertRaw("BOB", 2, 300);
  insertRaw("ANNA", 3, 500);
  insertRaw("ANNA", 4, 500);  // as good, later: not her best
  insertRaw("ANNA", 2, -40);
  insertRaw("CY", 5, -10);
  const auto rows = store->bestPlayers(100);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].name, "ANNA");
  EXPECT_EQ(rows[0].score, 500);
  EXPECT_EQ(rows[0].level, 3);
  EXPECT_EQ(rows[0].games, 4);
  EXPECT_EQ(rows[1].name, "BOB");
  EXPECT_EQ(rows[1].games, 1);
  EXPECT_EQ(rows[2].name, "CY");
  EXPECT_EQ(rows[2].score, -10);  // a negative best still shows
  EXPECT_EQ(store->count(), 6);
  // Each level's list holds each player once too, with their best of that level.
  insertRaw("BOB", 2, 200);
  insertRaw("DEE", 2, 300);  // ties BOB's 300, later
  const auto level2 = store->bestPerLevel(10, 2);
  ASSERT_EQ(level2.size(), 4u);  // level 1: ANNA; level 2: BOB, DEE, ANNA
  EXPECT_EQ(level2[1].name, "BOB");
  EXPECT_EQ(level2[1].score, 300);
  EXPECT_EQ(level2[2].name, "DEE");
  EXPECT_EQ(level2[3].name, "ANNA");
  EXPECT_EQ(level2[3].score, -40);
}

TEST_P(StoreTest, HiddenReportsStayButShowNowhere) {
  insertRaw("ANNA", 1, 100);
  insertRaw("ANNA", 2, 900);
  insertRaw("BOB", 2, 300);
  insertRaw("BOB", 3, 50);
  const std::int64_t before = store->moderation();
  const auto listed = store->list("ANNA", false, 10);
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].report.score, 900);  // newest first
  // Hiding ANNA's best brings her earlier one back as her best, on level 2 she is gone.
  EXPECT_EQ(store->hide({listed[0].id}, true), 1);
  EXPECT_EQ(store->hide({listed[0].id}, true), 0);  // already hidden
  EXPECT_GT(store->moderation(), before);
  auto rows = store->bestPlayers(10);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].name, "BOB");
  EXPECT_EQ(rows[1].name, "ANNA");
  EXPECT_EQ(rows[1].score, 100);
  EXPECT_EQ(rows[1].games, 1);
  EXPECT_EQ(store->count(), 3);
  auto levels = store->bestPerLevel(10, 200);
  ASSERT_EQ(levels.size(), 3u);
  EXPECT_EQ(levels[1].name, "BOB");
  // All of BOB's: level 3 then shows nothing at all, and is no longer a level.
  EXPECT_EQ(store->hideName("BOB", true), 2);
  rows = store->bestPlayers(10);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(store->count(), 1);
  levels = store->bestPerLevel(10, 200);
  ASSERT_EQ(levels.size(), 1u);
  EXPECT_EQ(levels[0].level, 1);
  // Hidden reports stay in the store and are listed as such.
  const auto hidden = store->list("", true, 10);
  ASSERT_EQ(hidden.size(), 3u);
  for (const StoredReport& r : hidden) EXPECT_TRUE(r.hidden);
  EXPECT_EQ(store->list("", false, 10).size(), 4u);
  EXPECT_EQ(store->list("", false, 2).size(), 2u);
  // Shown again, all is as before; a report that arrives while hidden ones exist counts too.
  EXPECT_EQ(store->hideName("BOB", false), 2);
  EXPECT_EQ(store->hide({listed[0].id, 999999}, false), 1);
  insertRaw("BOB", 3, 60);
  reopen();
  rows = store->bestPlayers(10);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].name, "ANNA");
  EXPECT_EQ(rows[0].games, 2);
  EXPECT_EQ(rows[1].games, 3);
  EXPECT_EQ(store->count(), 5);
  EXPECT_EQ(store->bestPerLevel(10, 200).size(), 4u);
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
  EXPECT_TRUE(store->bestPlayers(100).empty());
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

TEST_P(StoreTest, TheCountIsKeptAndMinuteCountsAreSharedByTheStoresProcesses) {
  for (int i = 0; i < 5; ++i) insertRaw("P" + std::to_string(i), 1 + i, i);
  reopen();
  EXPECT_EQ(store->count(), 5);
  insertRaw("MORE", 2, 3);
  EXPECT_EQ(store->count(), 6);
  EXPECT_EQ(store->countInMinute("198.51.100.7", 100), 1);
  EXPECT_EQ(store->countInMinute("198.51.100.7", 100), 2);
  EXPECT_EQ(store->countInMinute("203.0.113.5", 100), 1);
  EXPECT_EQ(store->countInMinute("198.51.100.7", 101), 1);  // a new minute starts afresh
  // A second server on the same store: PostgreSQL's counts are the store's, SQLite's each
  // process's own (one process serves an SQLite file).
  const auto other = openStore(where());
  const bool shared = GetParam() == "postgresql";
  EXPECT_EQ(other->countInMinute("198.51.100.7", 101), shared ? 2 : 1);
  EXPECT_EQ(other->count(), 6);
}

TEST(SqliteStore, ADeletedOrMovedFileFailsInsteadOfTakingReports) {
  char tmpl[] = "/tmp/morvane-store-XXXXXX";
  const std::string folder = mkdtemp(tmpl);
  for (const bool moved : {false, true}) {
    const std::string path = folder + "/scores" + std::to_string(moved) + ".sqlite";
    auto store = openStore(path);
    store->add({"ANNA", "1.7", 1, 5}, "2026-01-01T00:00:00Z", "192.0.2.1");
    if (moved)
      std::filesystem::rename(path, path + ".old");
    else
      std::filesystem::remove(path);
    EXPECT_THROW(store->add({"BOB", "1.7", 1, 5}, "2026-01-01T00:00:00Z", "192.0.2.1"), StoreError);
    EXPECT_THROW(store->bestPlayers(10), StoreError);
  }
  std::filesystem::remove_all(folder);
}

TEST(SqliteStore, AFileThatCannotBeWrittenIsRefusedAtStart) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes read-only files";
  char tmpl[] = "/tmp/morvane-store-XXXXXX";
  const std::string folder = mkdtemp(tmpl);
  openStore(folder + "/scores.sqlite");
  std::filesystem::permissions(folder + "/scores.sqlite", std::filesystem::perms::owner_read);
  EXPECT_THROW(openStore(folder + "/scores.sqlite"), StoreError);
  std::filesystem::remove_all(folder);
}

// A store written by the first server (one bare table) opens with its reports counted and each
// player's best found.
TEST_P(StoreTest, AnOlderStoreIsBroughtUpToDate) {
  store.reset();
  const std::string table = std::string(GetParam() == "sqlite" ? "id INTEGER PRIMARY KEY, "
                                                               : "id BIGSERIAL PRIMARY KEY, ") +
                            sql::kColumns;
  const std::string old =
      "CREATE TABLE reports (" + table + ");" +
      "INSERT INTO reports (name, version, level, score, received, address) VALUES"
      " ('OLD', '1.7', 3, 30, '2025-01-01T00:00:00Z', '192.0.2.1'),"
      " ('OLDER', '1.7', 4, 40, '2025-01-01T00:00:00Z', '192.0.2.1'),"
      " ('OLD', '1.7', 4, 35, '2025-01-02T00:00:00Z', '192.0.2.1'),"
      " ('OLD', '1.7', 3, 35, '2025-01-03T00:00:00Z', '192.0.2.1');";
  if (GetParam() == "sqlite") {
    std::filesystem::remove(where());
    std::filesystem::remove(where() + "-wal");
    std::filesystem::remove(where() + "-shm");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(where().c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, old.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_close(db);
  } else {
    inSchema(
        "DROP TABLE reports, report_count, morvane_schema, rate_counts, player_best, level_best,"
        " morvane_meta; DROP FUNCTION reports_counted, reports_best;" +
        old);
  }
  reopen();
  EXPECT_EQ(store->count(), 4);
  auto rows = store->bestPlayers(10);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].name, "OLDER");
  EXPECT_EQ(rows[1].name, "OLD");
  EXPECT_EQ(rows[1].score, 35);
  EXPECT_EQ(rows[1].level, 4);  // the earlier of its two 35s
  EXPECT_EQ(rows[1].games, 3);
  EXPECT_EQ(store->bestPerLevel(10, 200).size(), 3u);
  insertRaw("NEW", 3, 50);
  EXPECT_EQ(store->count(), 5);
  EXPECT_EQ(store->bestPlayers(1)[0].name, "NEW");
  EXPECT_EQ(store->hideName("OLD", true), 3);
  EXPECT_EQ(store->count(), 2);
}

// Reports that arrive together are committed together; each still counts once and keeps its
// own values.
TEST_P(StoreTest, ConcurrentReportsAreEachStoredOnce) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 16; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 25; ++i) insertRaw("T" + std::to_string(t), 1 + t, t * 100 + i);
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(store->count(), 400);
  const auto rows = store->list("", false, 1000);
  ASSERT_EQ(rows.size(), 400u);
  for (const StoredReport& r : rows)
    EXPECT_EQ(r.report.name, "T" + std::to_string(r.report.level - 1));
  const auto players = store->bestPlayers(100);
  ASSERT_EQ(players.size(), 16u);
  for (const Score& s : players) EXPECT_EQ(s.games, 25);
}
