// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/store.h"

#include <set>
#include <utility>

#include "server/store_open.h"

namespace scores {

bool isPostgresUrl(const std::string& where) {
  for (const char* scheme : {"postgresql://", "postgres://"})
    if (where.rfind(scheme, 0) == 0) return true;
  return false;
}

std::unique_ptr<Store> openStore(const std::string& where) {
  return isPostgresUrl(where) ? openPostgresStore(where) : openSqliteStore(where);
}

int moderate(Transaction& t, const std::string& where, std::vector<std::string> params,
             bool hidden) {
  params.insert(params.begin(), hidden ? "1" : "0");
  const auto changed = t.run(
      "UPDATE reports SET hidden = $1 WHERE hidden <> $1 AND (" + where + ") RETURNING name, level",
      params);
  if (changed.empty()) return 0;
  const auto n = static_cast<long long>(changed.size());
  t.run(
      "INSERT INTO report_count (shard, n) VALUES (0, $1)"
      " ON CONFLICT (shard) DO UPDATE SET n = report_count.n + excluded.n",
      {std::to_string(hidden ? -n : n)});
  std::set<std::string> names;
  std::set<std::pair<std::string, std::string>> levels;
  for (const auto& row : changed) {
    names.insert(row[0]);
    levels.insert({row[1], row[0]});
  }
  // Each affected player's best, overall and per level, found again among what still shows.
  for (const std::string& name : names) {
    t.run("DELETE FROM player_best WHERE name = $1", {name});
    t.run(
        "INSERT INTO player_best (name, id, score, games) SELECT name, id, score,"
        " (SELECT COUNT(*) FROM reports WHERE name = $1 AND hidden = 0) FROM reports"
        " WHERE name = $1 AND hidden = 0 ORDER BY score DESC, id LIMIT 1",
        {name});
  }
  for (const auto& [level, name] : levels) {
    t.run("DELETE FROM level_best WHERE level = $1 AND name = $2", {level, name});
    t.run(
        "INSERT INTO level_best (level, name, id, score) SELECT level, name, id, score FROM"
        " reports WHERE name = $2 AND level = $1 AND hidden = 0 ORDER BY score DESC, id LIMIT 1",
        {level, name});
  }
  t.run("UPDATE morvane_meta SET value = value + 1 WHERE key = 'moderation'", {});
  return static_cast<int>(changed.size());
}

int Store::hide(const std::vector<std::int64_t>& ids, bool hidden) {
  if (ids.empty()) return 0;
  std::string where = "id IN (";
  std::vector<std::string> params;
  for (const std::int64_t id : ids) {
    where += (params.empty() ? "$" : ", $") + std::to_string(params.size() + 2);
    params.push_back(std::to_string(id));
  }
  return moderateInTransaction(where + ")", params, hidden);
}

int Store::hideName(const std::string& name, bool hidden) {
  return moderateInTransaction("name = $2", {name}, hidden);
}

}  // namespace scores
