// SPDX-License-Identifier: GPL-3.0-or-later
// The embedded store: one SQLite file in write-ahead-log mode, synchronised on every commit, so
// a report answered "ok" is on disk: a killed server or a power cut loses none, and the file
// opens again without repair.
#include <sqlite3.h>

#include <mutex>

#include "server/store.h"
#include "server/store_open.h"

namespace scores {

namespace {

class SqliteStore : public Store {
 public:
  explicit SqliteStore(const std::string& path) {
    try {
      open(path);
    } catch (...) {
      close();
      throw;
    }
  }

  ~SqliteStore() override { close(); }

  void add(const Report& r, const std::string& received, const std::string& address) override {
    std::lock_guard lock(mutex_);
    Statement s(*this, insert_);
    s.text(1, r.name).text(2, r.version).integer(3, r.level).integer(4, r.score);
    s.text(5, received).text(6, address);
    if (sqlite3_step(insert_) != SQLITE_DONE) fail("cannot store a report");
  }

  std::vector<Score> best(int limit) override {
    std::lock_guard lock(mutex_);
    Statement s(*this, best_);
    s.integer(1, limit);
    return rows(best_);
  }

  std::vector<Score> bestPerLevel(int perLevel, int levels) override {
    std::lock_guard lock(mutex_);
    Statement s(*this, perLevel_);
    s.integer(1, perLevel).integer(2, levels);
    return rows(perLevel_);
  }

  std::int64_t count() override {
    std::lock_guard lock(mutex_);
    Statement s(*this, count_);
    if (sqlite3_step(count_) != SQLITE_ROW) fail("cannot count reports");
    return sqlite3_column_int64(count_, 0);
  }

 private:
  // Binds parameters by their $N names; resets the statement when the call is done.
  class Statement {
   public:
    Statement(SqliteStore& store, sqlite3_stmt* s) : store_(store), s_(s) {}
    ~Statement() {
      sqlite3_reset(s_);
      sqlite3_clear_bindings(s_);
    }
    Statement& text(int n, const std::string& v) {
      check(
          sqlite3_bind_text(s_, index(n), v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT));
      return *this;
    }
    Statement& integer(int n, std::int64_t v) {
      check(sqlite3_bind_int64(s_, index(n), v));
      return *this;
    }

   private:
    int index(int n) { return sqlite3_bind_parameter_index(s_, ("$" + std::to_string(n)).c_str()); }
    void check(int rc) {
      if (rc != SQLITE_OK) store_.fail("cannot bind a value");
    }
    SqliteStore& store_;
    sqlite3_stmt* s_;
  };

  void open(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK)
      fail("cannot open " + path);
    sqlite3_busy_timeout(db_, 5000);  // other processes may share the file
    exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;");
    exec(std::string("CREATE TABLE IF NOT EXISTS reports (id INTEGER PRIMARY KEY, ") +
         sql::kColumns + ");" + sql::kIndexes);
    insert_ = prepare(sql::kInsert);
    best_ = prepare(sql::kBest);
    perLevel_ = prepare(sql::kBestPerLevelSqlite);
    count_ = prepare(sql::kCount);
  }

  void close() {
    for (sqlite3_stmt* s : {insert_, best_, perLevel_, count_}) sqlite3_finalize(s);
    sqlite3_close(db_);
  }

  [[noreturn]] void fail(const std::string& what) {
    throw StoreError(what + ": " + (db_ ? sqlite3_errmsg(db_) : "out of memory"));
  }

  void exec(const std::string& statements) {
    if (sqlite3_exec(db_, statements.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
      fail("cannot set up the store");
  }

  sqlite3_stmt* prepare(const char* text) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db_, text, -1, &s, nullptr) != SQLITE_OK)
      fail("cannot prepare a statement");
    return s;
  }

  static std::string column(sqlite3_stmt* s, int i) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
    return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(s, i))) : std::string();
  }

  std::vector<Score> rows(sqlite3_stmt* s) {
    std::vector<Score> out;
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW)
      out.push_back({column(s, 0), column(s, 1), sqlite3_column_int(s, 2),
                     sqlite3_column_int64(s, 3), column(s, 4)});
    if (rc != SQLITE_DONE) fail("cannot read scores");
    return out;
  }

  std::mutex mutex_;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* insert_ = nullptr;
  sqlite3_stmt* best_ = nullptr;
  sqlite3_stmt* perLevel_ = nullptr;
  sqlite3_stmt* count_ = nullptr;
};

}  // namespace

std::unique_ptr<Store> openSqliteStore(const std::string& path) {
  return std::make_unique<SqliteStore>(path);
}

}  // namespace scores
