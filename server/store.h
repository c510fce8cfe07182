// SPDX-License-Identifier: GPL-3.0-or-later
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
  virtual std::int64_t count() = 0;
};

// "postgresql://..." or "postgres://..." opens a PostgreSQL database (several server processes
// may share it); anything else is the path of an SQLite file, created when missing. The table
// is created when missing. Throws StoreError.
std::unique_ptr<Store> openStore(const std::string& where);
// Whether openStore(where) opens PostgreSQL rather than an SQLite file.
bool isPostgresUrl(const std::string& where);

// What the stores run. Parameters are $1, $2, ... in both.
namespace sql {
inline constexpr const char* kInsert =
    "INSERT INTO reports (name, version, level, score, received, address) "
    "VALUES ($1, $2, $3, $4, $5, $6)";
inline constexpr const char* kBest =
    "SELECT name, version, level, score, received FROM reports ORDER BY score DESC, id LIMIT $1";
// The best of each level, read through the level index a few rows per level rather than ranking
// every row of those levels, which would make each page view as slow as the table is long. SQLite
// has no LATERAL, and PostgreSQL runs the correlated IN once per row, so each store words it its
// own way; the results are the same.
inline constexpr const char* kBestPerLevelSqlite =
    "SELECT r.name, r.version, r.level, r.score, r.received"
    " FROM (SELECT DISTINCT level FROM reports ORDER BY level LIMIT $2) AS lv"
    " JOIN reports AS r ON r.id IN (SELECT x.id FROM reports AS x WHERE x.level = lv.level"
    " ORDER BY x.score DESC, x.id LIMIT $1)"
    " ORDER BY r.level, r.score DESC, r.id";
inline constexpr const char* kBestPerLevelPostgres =
    "SELECT r.name, r.version, r.level, r.score, r.received"
    " FROM (SELECT DISTINCT level FROM reports ORDER BY level LIMIT $2) AS lv"
    " CROSS JOIN LATERAL (SELECT x.id, x.name, x.version, x.level, x.score, x.received"
    " FROM reports AS x WHERE x.level = lv.level ORDER BY x.score DESC, x.id LIMIT $1) AS r"
    " ORDER BY r.level, r.score DESC, r.id";
inline constexpr const char* kCount = "SELECT COUNT(*) FROM reports";
// The table without its key column, which each store declares in its own words.
inline constexpr const char* kColumns =
    "name TEXT NOT NULL, version TEXT NOT NULL, level INTEGER NOT NULL, score BIGINT NOT NULL,"
    " received TEXT NOT NULL, address TEXT NOT NULL";
inline constexpr const char* kIndexes =
    "CREATE INDEX IF NOT EXISTS reports_by_score ON reports (score DESC, id);"
    "CREATE INDEX IF NOT EXISTS reports_by_level ON reports (level, score DESC, id);";
}  // namespace sql

}  // namespace scores
