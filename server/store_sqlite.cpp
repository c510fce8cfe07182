// SPDX-License-Identifier: GPL-3.0-or-later
// The embedded store: one SQLite file in write-ahead-log mode, synchronised on every commit, so
// a report answered "ok" is on disk: a killed server or a power cut loses none, and the file
// opens again without repair. Reports are written through one connection and the leaderboard
// read through another, so building a page never holds up a report.
#include <sqlite3.h>

#include <condition_variable>
#include <mutex>

#include "server/group_commit.h"
#include "server/rate_limit.h"
#include "server/store.h"
#include "server/store_open.h"

namespace scores {

namespace {

// One connection to the file with its own lock and prepared statements.
class Connection {
 public:
  Connection() = default;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  ~Connection() {
    for (sqlite3_stmt* s : statements_) sqlite3_finalize(s);
    sqlite3_close(db_);
  }

  void open(const std::string& path) {
    path_ = path;
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK)
      fail("cannot open " + path);
    // Other processes may share the file; a lock held longer than this is a failure.
    sqlite3_busy_timeout(db_, kStoreWaitMs);
    exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;");
  }

  // A file deleted or renamed while open would still take reports that nobody can read again.
  void checkInPlace() {
    int moved = 0;
    if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_HAS_MOVED, &moved) != SQLITE_OK || moved)
      throw StoreError(path_ + " has been deleted or moved since the server opened it");
  }

  [[noreturn]] void fail(const std::string& what) {
    throw StoreError(what + ": " + (db_ ? sqlite3_errmsg(db_) : "out of memory"));
  }

  void exec(const std::string& statements) {
    if (sqlite3_exec(db_, statements.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
      fail("cannot set up the store");
  }

  int intValue(const char* query) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db_, query, -1, &s, nullptr) != SQLITE_OK) fail("cannot read the store");
    const int v = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int(s, 0) : 0;
    sqlite3_finalize(s);
    return v;
  }

  sqlite3_stmt* prepare(const char* text) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db_, text, -1, &s, nullptr) != SQLITE_OK)
      fail("cannot prepare a statement");
    statements_.push_back(s);
    return s;
  }

  sqlite3* db() { return db_; }
  std::mutex mutex;

 private:
  std::string path_;
  sqlite3* db_ = nullptr;
  std::vector<sqlite3_stmt*> statements_;
};

// Binds parameters by their $N names; resets the statement when the call is done.
class Statement {
 public:
  Statement(Connection& c, sqlite3_stmt* s) : c_(c), s_(s) {}
  ~Statement() {
    sqlite3_reset(s_);
    sqlite3_clear_bindings(s_);
  }
  Statement& text(int n, const std::string& v) {
    check(sqlite3_bind_text(s_, index(n), v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT));
    return *this;
  }
  Statement& integer(int n, std::int64_t v) {
    check(sqlite3_bind_int64(s_, index(n), v));
    return *this;
  }

 private:
  int index(int n) { return sqlite3_bind_parameter_index(s_, ("$" + std::to_string(n)).c_str()); }
  void check(int rc) {
    if (rc != SQLITE_OK) c_.fail("cannot bind a value");
  }
  Connection& c_;
  sqlite3_stmt* s_;
};

class SqliteStore : public Store {
 public:
  explicit SqliteStore(const std::string& path) {
    writer_.open(path);
    setUp(path);
    insert_ = writer_.prepare(sql::kInsert);
    reader_.open(path);
    best_ = reader_.prepare(sql::kBestPlayers);
    perLevel_ = reader_.prepare(sql::kBestPerLevelSqlite);
    count_ = reader_.prepare(sql::kCount);
    moderation_ = reader_.prepare(sql::kModeration);
    list_ = reader_.prepare(sql::kList);
  }

  void add(const Report& r, const std::string& received, const std::string& address) override {
    commits_.add({&r, &received, &address},
                 [&](const std::vector<PendingReport>& batch) { commit(batch); });
  }

  std::vector<Score> bestPlayers(int limit) override {
    std::lock_guard lock(reader_.mutex);
    reader_.checkInPlace();
    Statement s(reader_, best_);
    s.integer(1, limit);
    return rows(best_);
  }

  std::vector<Score> bestPerLevel(int perLevel, int levels) override {
    std::lock_guard lock(reader_.mutex);
    reader_.checkInPlace();
    Statement s(reader_, perLevel_);
    s.integer(1, perLevel).integer(2, levels);
    return rows(perLevel_);
  }

  std::int64_t count() override {
    std::lock_guard lock(reader_.mutex);
    reader_.checkInPlace();
    Statement s(reader_, count_);
    if (sqlite3_step(count_) != SQLITE_ROW) reader_.fail("cannot count reports");
    return sqlite3_column_int64(count_, 0);
  }

  std::int64_t countInMinute(const std::string& key, std::int64_t minute) override {
    return minuteCounts_.count(key, minute);
  }

  std::vector<StoredReport> list(const std::string& name, bool hiddenOnly, int last) override {
    std::lock_guard lock(reader_.mutex);
    reader_.checkInPlace();
    Statement s(reader_, list_);
    s.text(1, name).integer(2, hiddenOnly).integer(3, last);
    std::vector<StoredReport> out;
    int rc;
    while ((rc = sqlite3_step(list_)) == SQLITE_ROW)
      out.push_back({sqlite3_column_int64(list_, 0),
                     {column(list_, 1), column(list_, 2), sqlite3_column_int(list_, 3),
                      sqlite3_column_int64(list_, 4), column(list_, 5), 0},
                     column(list_, 6),
                     sqlite3_column_int(list_, 7) != 0});
    if (rc != SQLITE_DONE) reader_.fail("cannot list reports");
    return out;
  }

  std::int64_t moderation() override {
    std::lock_guard lock(reader_.mutex);
    reader_.checkInPlace();
    Statement s(reader_, moderation_);
    if (sqlite3_step(moderation_) != SQLITE_ROW) reader_.fail("cannot read the store");
    return sqlite3_column_int64(moderation_, 0);
  }

 private:
  // Runs statements on the writer connection, every parameter bound as text (a column's type
  // turns it into a number where it meets one).
  class WriterTransaction : public Transaction {
   public:
    explicit WriterTransaction(Connection& c) : c_(c) {}
    std::vector<std::vector<std::string>> run(const std::string& statement,
                                              const std::vector<std::string>& params) override {
      sqlite3_stmt* s = nullptr;
      if (sqlite3_prepare_v2(c_.db(), statement.c_str(), -1, &s, nullptr) != SQLITE_OK)
        c_.fail("cannot prepare a statement");
      std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> owned(s, sqlite3_finalize);
      for (size_t i = 0; i < params.size(); ++i) {
        const int at = sqlite3_bind_parameter_index(s, ("$" + std::to_string(i + 1)).c_str());
        if (at > 0 && sqlite3_bind_text(s, at, params[i].data(), static_cast<int>(params[i].size()),
                                        SQLITE_TRANSIENT) != SQLITE_OK)
          c_.fail("cannot bind a value");
      }
      std::vector<std::vector<std::string>> rows;
      int rc;
      while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        rows.emplace_back();
        for (int i = 0; i < sqlite3_column_count(s); ++i) rows.back().push_back(column(s, i));
      }
      if (rc != SQLITE_DONE) c_.fail("cannot change the store");
      return rows;
    }

   private:
    Connection& c_;
  };

  int moderateInTransaction(const std::string& where, const std::vector<std::string>& params,
                            bool hidden) override {
    std::lock_guard lock(writer_.mutex);
    writer_.checkInPlace();
    writer_.exec("BEGIN IMMEDIATE");
    try {
      WriterTransaction t(writer_);
      const int changed = moderate(t, where, params, hidden);
      writer_.exec("COMMIT");
      return changed;
    } catch (...) {
      sqlite3_exec(writer_.db(), "ROLLBACK", nullptr, nullptr, nullptr);
      throw;
    }
  }

  // One transaction for the reports that arrived together.
  void commit(const std::vector<PendingReport>& batch) {
    std::lock_guard lock(writer_.mutex);
    writer_.checkInPlace();
    if (sqlite3_exec(writer_.db(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
      writer_.fail("cannot store a report");
    for (const PendingReport& p : batch) {
      Statement s(writer_, insert_);
      s.text(1, p.report->name).text(2, p.report->version).integer(3, p.report->level);
      s.integer(4, p.report->score).text(5, *p.received).text(6, *p.address);
      if (sqlite3_step(insert_) != SQLITE_DONE) {
        const std::string why = sqlite3_errmsg(writer_.db());
        sqlite3_exec(writer_.db(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw StoreError("cannot store a report: " + why);
      }
    }
    if (sqlite3_exec(writer_.db(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
      const std::string why = sqlite3_errmsg(writer_.db());
      sqlite3_exec(writer_.db(), "ROLLBACK", nullptr, nullptr, nullptr);
      throw StoreError("cannot store a report: " + why);
    }
  }

  // Creates the tables of a new file or brings an older file's up to date, in one transaction
  // that also proves the file can be written.
  void setUp(const std::string& path) {
    if (sqlite3_db_readonly(writer_.db(), "main") == 1)
      throw StoreError(path + " is read-only: the server needs to write reports to it");
    writer_.exec("BEGIN IMMEDIATE");
    try {
      const int version = writer_.intValue("PRAGMA user_version");
      if (version > kSchemaVersion)
        throw StoreError(path + " was written by a newer morvane-scores");
      if (version > 0 && version < 2)
        throw StoreError(path + " has an unknown schema version " + std::to_string(version));
      writer_.exec(std::string("CREATE TABLE IF NOT EXISTS reports (id INTEGER PRIMARY KEY, ") +
                   sql::kColumns + ");" + sql::kIndexes);
      if (version < 2)
        writer_.exec(
            std::string("CREATE TABLE report_count (shard INTEGER PRIMARY KEY, n INTEGER NOT "
                        "NULL);") +
            sql::kFillCount +
            "CREATE TRIGGER reports_counted AFTER INSERT ON reports BEGIN"
            " INSERT INTO report_count (shard, n) VALUES (NEW.id % 16, 1)"
            " ON CONFLICT (shard) DO UPDATE SET n = n + 1; END;");
      if (version < 3)
        writer_.exec(std::string(sql::kBestTables) +
                     "CREATE TRIGGER reports_best AFTER INSERT ON reports WHEN NEW.hidden = 0"
                     " BEGIN " +
                     sql::kKeepBestSqlite + " END;");
      writer_.exec("PRAGMA user_version = " + std::to_string(kSchemaVersion) + "; COMMIT");
    } catch (...) {
      sqlite3_exec(writer_.db(), "ROLLBACK", nullptr, nullptr, nullptr);
      throw;
    }
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
                     sqlite3_column_int64(s, 3), column(s, 4), sqlite3_column_int64(s, 5)});
    if (rc != SQLITE_DONE) reader_.fail("cannot read scores");
    return out;
  }

  Connection writer_, reader_;
  GroupCommit commits_;
  sqlite3_stmt* insert_ = nullptr;
  sqlite3_stmt* best_ = nullptr;
  sqlite3_stmt* perLevel_ = nullptr;
  sqlite3_stmt* count_ = nullptr;
  sqlite3_stmt* moderation_ = nullptr;
  sqlite3_stmt* list_ = nullptr;
  MinuteCounter minuteCounts_;
};

}  // namespace

std::unique_ptr<Store> openSqliteStore(const std::string& path) {
  return std::make_unique<SqliteStore>(path);
}

}  // namespace scores
