// Where reports are kept: one narrow interface over an SQLite file or a PostgreSQL database.
// Both run the same statements but one, always prepared, with the values bound as parameters.
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
  std::string received;  // UTC, "YYYY-MM-DDTHH:MM:SSZ"
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
  // The best `limit` scores, highest first; equal scores in the order they arrived.
  virtual std::vector<Score> best(int limit) = 0;
  // The best `perLevel` scores of each of the lowest `levels` levels that hold any, by level
  // and then as best() orders them.
  virtual std::vector<Score> bestPerLevel(int perLevel, int levels) = 0;
  // How many reports the store holds; kept as reports arrive, not counted row by row.
  virtual std::int64_t count() = 0;
  // Counts one event of `key` in minute `minute` (minutes since the epoch) and returns how many
  // there have been in that minute, this one included. A PostgreSQL store counts for all the
  // server processes that share it; an SQLite store, which one process serves, in memory.
  virtual std::int64_t countInMinute(const std::string& key, std::int64_t minute) = 0;
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

// What the stores run. Parameters are $1, $2, ... in both.
namespace sql {
inline constexpr const char* kInsert =
    "INSERT INTO reports (name, version, level, score, received, address) "
    "VALUES ($1, $2, $3, $4, $5, $6)";
inline constexpr const char* kBest =
    "SELECT name, version, level, score, received FROM reports ORDER BY score DESC, id LIMIT $1";
// The lowest levels that hold reports, found one index probe each (the next level above the
// last), so a page view never walks the whole level index.
#define MORVANE_LEVELS                                                                  \
  "WITH RECURSIVE lv(level, k) AS (SELECT (SELECT MIN(level) FROM reports), 1"          \
  " UNION ALL SELECT (SELECT MIN(x.level) FROM reports AS x WHERE x.level > lv.level)," \
  " lv.k + 1 FROM lv WHERE lv.level IS NOT NULL AND lv.k < $2) "
// The best of each of those levels, read through the level index a few rows per level rather
// than ranking every row of those levels. SQLite has no LATERAL, and PostgreSQL runs the
// correlated IN once per row, so each store words it its own way; the results are the same.
inline constexpr const char* kBestPerLevelSqlite = MORVANE_LEVELS
    "SELECT r.name, r.version, r.level, r.score, r.received"
    " FROM lv JOIN reports AS r ON r.id IN (SELECT x.id FROM reports AS x WHERE x.level = lv.level"
    " ORDER BY x.score DESC, x.id LIMIT $1)"
    " ORDER BY r.level, r.score DESC, r.id";
inline constexpr const char* kBestPerLevelPostgres = MORVANE_LEVELS
    "SELECT r.name, r.version, r.level, r.score, r.received"
    " FROM lv CROSS JOIN LATERAL (SELECT x.id, x.name, x.version, x.level, x.score, x.received"
    " FROM reports AS x WHERE x.level = lv.level ORDER BY x.score DESC, x.id LIMIT $1) AS r"
    " ORDER BY r.level, r.score DESC, r.id";
#undef MORVANE_LEVELS
// The count is kept in a few rows that a trigger adds to as reports arrive (several rows, so
// that concurrent inserts in PostgreSQL seldom wait on each other's row).
inline constexpr const char* kCount = "SELECT COALESCE(SUM(n), 0) FROM report_count";
inline constexpr int kCountRows = 16;
// The table without its key column, which each store declares in its own words.
inline constexpr const char* kColumns =
    "name TEXT NOT NULL, version TEXT NOT NULL, level INTEGER NOT NULL, score BIGINT NOT NULL,"
    " received TEXT NOT NULL, address TEXT NOT NULL";
inline constexpr const char* kIndexes =
    "CREATE INDEX IF NOT EXISTS reports_by_score ON reports (score DESC, id);"
    "CREATE INDEX IF NOT EXISTS reports_by_level ON reports (level, score DESC, id);";
// The count of the reports a store already holds when it gains report_count.
inline constexpr const char* kFillCount =
    "INSERT INTO report_count (shard, n) SELECT id % 16, COUNT(*) FROM reports GROUP BY id % 16;";
}  // namespace sql

}  // namespace scores
