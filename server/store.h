// SPDX-License-Identifier: GPL-3.0-or-later
// Where reports are kept: one narrow interface over an SQLite file or a PostgreSQL database.
// Both run the same statements, always with the values bound as parameters, except where a
// store's dialect needs its own words.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "server/report.h"

namespace scores {

struct Score {
  std::string name;
  std::string version;
  int level = 0;
  std::int64_t score = 0;
  std::string received;    // UTC, "YYYY-MM-DDTHH:MM:SSZ"
  std::int64_t games = 0;  // in best(): how many reports of this player show
};

// One stored report as moderation sees it.
struct StoredReport {
  std::int64_t id = 0;
  Score report;
  std::string address;
  bool hidden = false;
};

struct StoreError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Store {
 public:
  virtual ~Store() = default;
  // Keeps one report; returns only once the report is committed. Throws StoreError.
  virtual void add(const Report& report, const std::string& received,
                   const std::string& address) = 0;
  // Each player's best report (of equal scores the earliest), for the `limit` best players,
  // best first and of equal scores the earlier report first; `games` says how many reports of
  // the player show. Hidden reports count for nothing.
  virtual std::vector<Score> bestPlayers(int limit) = 0;
  // For each of the lowest `levels` levels that show any report, the best `perLevel` players of
  // that level with their best report of it, ordered by level and then as bestPlayers() orders.
  virtual std::vector<Score> bestPerLevel(int perLevel, int levels) = 0;
  // How many reports show; kept as reports arrive and are hidden, not counted row by row.
  virtual std::int64_t count() = 0;
  // Counts one event of `key` in minute `minute` (minutes since the epoch) and returns how many
  // there have been in that minute, this one included. A PostgreSQL store counts for all the
  // server processes that share it; an SQLite store, which one process serves, in memory.
  virtual std::int64_t countInMinute(const std::string& key, std::int64_t minute) = 0;

  // Moderation, safe while servers use the same store.
  // The latest `last` reports, newest first: all, one name's, or only hidden ones.
  virtual std::vector<StoredReport> list(const std::string& name, bool hiddenOnly, int last) = 0;
  // Hides (or shows again) the reports with these ids, or all of one name's; returns how many
  // changed. Hidden reports stay in the store.
  int hide(const std::vector<std::int64_t>& ids, bool hidden);
  int hideName(const std::string& name, bool hidden);
  // A number that changes whenever moderation changes what shows, so that a copy of the
  // leaderboard knows it is out of date.
  virtual std::int64_t moderation() = 0;

 protected:
  // Runs moderate() for the reports `where` picks ($1 the new hidden value, `params` from $2
  // on) in a transaction of the store's own, safe beside servers using it.
  virtual int moderateInTransaction(const std::string& where,
                                    const std::vector<std::string>& params, bool hidden) = 0;
};

// "postgresql://..." or "postgres://..." opens a PostgreSQL database (several server processes
// may share it); anything else is the path of an SQLite file, created when missing. The tables
// are created when missing and an older store's brought up to date. A store that cannot be
// written is refused. Throws StoreError.
std::unique_ptr<Store> openStore(const std::string& where);
// Whether openStore(where) opens PostgreSQL rather than an SQLite file.
bool isPostgresUrl(const std::string& where);

// How long a store call may wait, for a connection, a lock or an answer, before it fails.
inline constexpr int kStoreWaitMs = 2000;

// The schema's version: 0 is the first table (or a new store), 2 adds the kept count, 3 hidden
// reports and each player's best.
inline constexpr int kSchemaVersion = 3;

// What the stores run. Parameters are $1, $2, ... in both.
namespace sql {
inline constexpr const char* kInsert =
    "INSERT INTO reports (name, version, level, score, received, address) "
    "VALUES ($1, $2, $3, $4, $5, $6)";
// Each player's best is kept in player_best (and per level in level_best) as reports arrive, so
// the page reads a hundred rows rather than ranking every report.
inline constexpr const char* kBestPlayers =
    "SELECT r.name, r.version, r.level, r.score, r.received, p.games FROM player_best AS p"
    " JOIN reports AS r ON r.id = p.id ORDER BY p.score DESC, p.id LIMIT $1";
// The lowest levels that show reports, found one index probe each (the next level above the
// last), so a page view never walks the whole level index.
#define MORVANE_LEVELS                                                                     \
  "WITH RECURSIVE lv(level, k) AS (SELECT (SELECT MIN(level) FROM level_best), 1"          \
  " UNION ALL SELECT (SELECT MIN(x.level) FROM level_best AS x WHERE x.level > lv.level)," \
  " lv.k + 1 FROM lv WHERE lv.level IS NOT NULL AND lv.k < $2) "
// The best players of each of those levels, a few index rows per level. SQLite has no LATERAL,
// and PostgreSQL runs the correlated IN once per row, so each store words it its own way; the
// results are the same.
inline constexpr const char* kBestPerLevelSqlite = MORVANE_LEVELS
    "SELECT r.name, r.version, r.level, r.score, r.received, 0"
    " FROM lv JOIN reports AS r ON r.id IN (SELECT x.id FROM level_best AS x"
    " WHERE x.level = lv.level ORDER BY x.score DESC, x.id LIMIT $1)"
    " ORDER BY r.level, r.score DESC, r.id";
inline constexpr const char* kBestPerLevelPostgres = MORVANE_LEVELS
    "SELECT r.name, r.version, r.level, r.score, r.received, 0"
    " FROM lv CROSS JOIN LATERAL (SELECT x.id FROM level_best AS x WHERE x.level = lv.level"
    " ORDER BY x.score DESC, x.id LIMIT $1) AS b JOIN reports AS r ON r.id = b.id"
    " ORDER BY r.level, r.score DESC, r.id";
#undef MORVANE_LEVELS
// The count is kept in a few rows that a trigger adds to as reports arrive (several rows, so
// that concurrent inserts in PostgreSQL seldom wait on each other's row).
inline constexpr const char* kCount = "SELECT COALESCE(SUM(n), 0) FROM report_count";
inline constexpr const char* kModeration =
    "SELECT value FROM morvane_meta WHERE key = 'moderation'";
inline constexpr const char* kList =
    "SELECT id, name, version, level, score, received, address, hidden FROM reports"
    " WHERE (CAST($1 AS TEXT) = '' OR name = $1) AND (CAST($2 AS INTEGER) = 0 OR hidden = 1)"
    " ORDER BY id DESC LIMIT $3";
// The table without its key column, which each store declares in its own words.
inline constexpr const char* kColumns =
    "name TEXT NOT NULL, version TEXT NOT NULL, level INTEGER NOT NULL, score BIGINT NOT NULL,"
    " received TEXT NOT NULL, address TEXT NOT NULL";
inline constexpr const char* kIndexes =
    "CREATE INDEX IF NOT EXISTS reports_by_score ON reports (score DESC, id);"
    "CREATE INDEX IF NOT EXISTS reports_by_level ON reports (level, score DESC, id);";
// Version 2: the count of the reports a store already holds when it gains report_count.
inline constexpr const char* kFillCount =
    "INSERT INTO report_count (shard, n) SELECT id % 16, COUNT(*) FROM reports GROUP BY id % 16;";
// Version 3: hidden reports, each player's best overall and of each level, and the moderation
// counter, filled from the reports already held.
inline constexpr const char* kBestTables =
    "ALTER TABLE reports ADD COLUMN hidden INTEGER NOT NULL DEFAULT 0;"
    "CREATE INDEX reports_by_name ON reports (name, score DESC, id);"
    "CREATE TABLE player_best (name TEXT PRIMARY KEY, id BIGINT NOT NULL, score BIGINT NOT NULL,"
    " games BIGINT NOT NULL);"
    "CREATE INDEX player_best_by_score ON player_best (score DESC, id);"
    "CREATE TABLE level_best (level INTEGER NOT NULL, name TEXT NOT NULL, id BIGINT NOT NULL,"
    " score BIGINT NOT NULL, PRIMARY KEY (level, name));"
    "CREATE INDEX level_best_by_score ON level_best (level, score DESC, id);"
    "CREATE TABLE morvane_meta (key TEXT PRIMARY KEY, value BIGINT NOT NULL);"
    "INSERT INTO morvane_meta (key, value) VALUES ('moderation', 0);"
    "INSERT INTO player_best (name, id, score, games) SELECT name, id, score, games FROM"
    " (SELECT name, id, score, COUNT(*) OVER (PARTITION BY name) AS games, ROW_NUMBER() OVER"
    " (PARTITION BY name ORDER BY score DESC, id) AS place FROM reports) AS t WHERE place = 1;"
    "INSERT INTO level_best (level, name, id, score) SELECT level, name, id, score FROM"
    " (SELECT level, name, id, score, ROW_NUMBER() OVER (PARTITION BY level, name ORDER BY"
    " score DESC, id) AS place FROM reports) AS t WHERE place = 1;";
// What SQLite's insert trigger runs for a new report (NEW), keeping each player's best: a higher
// score replaces the best, an equal one does not (the earlier report stays the best).
inline constexpr const char* kKeepBestSqlite =
    "INSERT INTO player_best (name, id, score, games) VALUES (NEW.name, NEW.id, NEW.score, 1)"
    " ON CONFLICT (name) DO UPDATE SET games = player_best.games + 1,"
    " id = CASE WHEN excluded.score > player_best.score THEN excluded.id ELSE player_best.id END,"
    " score = MAX(excluded.score, player_best.score);"
    "INSERT INTO level_best (level, name, id, score) VALUES (NEW.level, NEW.name, NEW.id,"
    " NEW.score) ON CONFLICT (level, name) DO UPDATE SET"
    " id = CASE WHEN excluded.score > level_best.score THEN excluded.id ELSE level_best.id END,"
    " score = MAX(excluded.score, level_best.score);";
}  // namespace sql

// A transaction on a store, for moderation: runs statements with $N parameters (given as text)
// and returns their rows as text.
class Transaction {
 public:
  virtual ~Transaction() = default;
  virtual std::vector<std::vector<std::string>> run(const std::string& statement,
                                                    const std::vector<std::string>& params) = 0;
};

// Hides or shows the reports an UPDATE's WHERE clause picks (`where`, with `params` from $2 on;
// $1 is the new hidden value), inside transaction `t`, and brings the count, each affected
// player's best and the moderation counter up to date. Returns how many reports changed.
int moderate(Transaction& t, const std::string& where, std::vector<std::string> params,
             bool hidden);

}  // namespace scores
