// SPDX-License-Identifier: GPL-3.0-or-later
// The shared store: a PostgreSQL database, reached through a small pool of connections so that
// requests on several threads, and several server processes, write at the same time. Every wait
// is bounded: for a free connection, for connecting, and for each answer (measured here, so that
// a database that has stopped answering at all is noticed too); a connection that ran out of
// time is dropped and a new one made when next needed.
#include <libpq-fe.h>
#include <poll.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "server/group_commit.h"
#include "server/store.h"
#include "server/store_open.h"

namespace scores {

namespace {

constexpr int kConnections = 8;
// The schema's version is kept in morvane_schema; version 2 also adds the shared per-minute
// counts.
constexpr const char* kStatements[][2] = {
    // Many reports in one statement, each column an array.
    {"insert",
     "INSERT INTO reports (name, version, level, score, received, address) SELECT * FROM"
     " unnest($1::text[], $2::text[], $3::integer[], $4::bigint[], $5::text[], $6::text[])"},
    {"best", sql::kBestPlayers},
    {"per_level", sql::kBestPerLevelPostgres},
    {"count", sql::kCount},
    {"moderation", sql::kModeration},
    {"list", sql::kList},
    {"count_minute",
     "INSERT INTO rate_counts (key, minute, n) VALUES ($1, $2, 1) ON CONFLICT (key, minute)"
     " DO UPDATE SET n = rate_counts.n + 1 RETURNING n"},
    {"forget_minutes", "DELETE FROM rate_counts WHERE minute < $1"}};

using Clock = std::chrono::steady_clock;
using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

// `text` as one element of an array literal: quoted, with quotes and backslashes escaped.
std::string arrayElement(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string firstLine(const std::string& s) {
  return s.substr(0, s.find('\n'));
}

// Waits for the answer to what was sent on `c` until `deadline`; the last result, or nothing
// when the connection broke or the time ran out (`timedOut` says which).
Result answer(PGconn* c, Clock::time_point deadline, bool& timedOut) {
  timedOut = false;
  Result last(nullptr, PQclear);
  for (;;) {
    while (PQisBusy(c)) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) {
        timedOut = true;
        return Result(nullptr, PQclear);
      }
      pollfd p{PQsocket(c), POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left)) < 0 && errno != EINTR)
        return Result(nullptr, PQclear);
      if (!PQconsumeInput(c)) return Result(nullptr, PQclear);
    }
    PGresult* r = PQgetResult(c);
    if (!r) return last;
    last.reset(r);
  }
}

class PostgresStore : public Store {
 public:
  explicit PostgresStore(const std::string& url) : url_(url) {
    try {
      for (int i = 0; i < kConnections; ++i) {
        free_.push_back(connect(Clock::now() + std::chrono::seconds(10)));
        if (i == 0) setUp(free_.back());
        prepareStatements(free_.back(), Clock::now() + std::chrono::seconds(10));
      }
    } catch (...) {
      for (PGconn* c : free_) PQfinish(c);
      throw;
    }
  }

  ~PostgresStore() override {
    for (PGconn* c : free_) PQfinish(c);
  }

  // Reports that arrive together go in one statement and one commit.
  void add(const Report& r, const std::string& received, const std::string& address) override {
    commits_.add({&r, &received, &address}, [&](const std::vector<PendingReport>& batch) {
      std::vector<std::string> columns(6, "{");
      for (const PendingReport& p : batch) {
        const std::string values[] = {p.report->name,
                                      p.report->version,
                                      std::to_string(p.report->level),
                                      std::to_string(p.report->score),
                                      *p.received,
                                      *p.address};
        for (size_t i = 0; i < columns.size(); ++i)
          columns[i] += (columns[i].size() > 1 ? "," : "") + arrayElement(values[i]);
      }
      for (auto& c : columns) c += "}";
      run("insert", columns, PGRES_COMMAND_OK);
    });
  }

  std::vector<Score> bestPlayers(int limit) override {
    return rows(run("best", {std::to_string(limit)}, PGRES_TUPLES_OK));
  }

  std::vector<Score> bestPerLevel(int perLevel, int levels) override {
    return rows(
        run("per_level", {std::to_string(perLevel), std::to_string(levels)}, PGRES_TUPLES_OK));
  }

  std::int64_t count() override {
    const Result r = run("count", {}, PGRES_TUPLES_OK);
    return std::stoll(PQgetvalue(r.get(), 0, 0));
  }

  std::vector<StoredReport> list(const std::string& name, bool hiddenOnly, int last) override {
    const Result r =
        run("list", {name, hiddenOnly ? "1" : "0", std::to_string(last)}, PGRES_TUPLES_OK);
    std::vector<StoredReport> out;
    for (int i = 0; i < PQntuples(r.get()); ++i) {
      const auto v = [&](int col) { return std::string(PQgetvalue(r.get(), i, col)); };
      out.push_back({std::stoll(v(0)),
                     {v(1), v(2), std::stoi(v(3)), std::stoll(v(4)), v(5), 0},
                     v(6),
                     v(7) != "0"});
    }
    return out;
  }

  std::int64_t moderation() override {
    const Result r = run("moderation", {}, PGRES_TUPLES_OK);
    return std::stoll(PQgetvalue(r.get(), 0, 0));
  }

  std::int64_t countInMinute(const std::string& key, std::int64_t minute) override {
    // Each process clears out the minutes before the last when it first sees a new minute.
    if (forgotten_.exchange(minute) != minute)
      run("forget_minutes", {std::to_string(minute - 1)}, PGRES_COMMAND_OK);
    const Result r = run("count_minute", {key, std::to_string(minute)}, PGRES_TUPLES_OK);
    return std::stoll(PQgetvalue(r.get(), 0, 0));
  }

 private:
  static void ignoreNotice(void*, const char*) {}

  // A new connection, made and set up by `deadline`.
  PGconn* connect(Clock::time_point deadline) {
    const char* keys[] = {"dbname", nullptr};
    const char* values[] = {url_.c_str(), nullptr};
    PGconn* c = PQconnectStartParams(keys, values, 1);
    if (!c) throw StoreError("cannot connect to PostgreSQL: out of memory");
    try {
      for (auto step = PGRES_POLLING_WRITING; step != PGRES_POLLING_OK; step = PQconnectPoll(c)) {
        if (step == PGRES_POLLING_FAILED || PQstatus(c) == CONNECTION_BAD)
          throw StoreError("cannot connect to PostgreSQL: " + firstLine(PQerrorMessage(c)));
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) throw StoreError("PostgreSQL did not take a connection in time");
        pollfd p{PQsocket(c), static_cast<short>(step == PGRES_POLLING_READING ? POLLIN : POLLOUT),
                 0};
        poll(&p, 1, static_cast<int>(left));
      }
      PQsetNoticeProcessor(c, ignoreNotice, nullptr);  // "already exists, skipping" is no news
      // The server stops a statement that runs too long too, so none keeps working for nobody.
      exec(c, "SET statement_timeout = " + std::to_string(kStoreWaitMs), deadline);
    } catch (...) {
      PQfinish(c);
      throw;
    }
    return c;
  }

  // Runs `statement` (no parameters) and returns its last result; throws on any failure.
  static Result exec(PGconn* c, const std::string& statement, Clock::time_point deadline) {
    if (!PQsendQuery(c, statement.c_str()))
      throw StoreError("the store refused a statement: " + firstLine(PQerrorMessage(c)));
    bool timedOut = false;
    Result r = answer(c, deadline, timedOut);
    if (timedOut) throw StoreError("PostgreSQL did not answer in time");
    if (!r ||
        (PQresultStatus(r.get()) != PGRES_COMMAND_OK && PQresultStatus(r.get()) != PGRES_TUPLES_OK))
      throw StoreError("the store refused a statement: " + firstLine(PQerrorMessage(c)));
    return r;
  }

  // Creates the tables of a new database or brings an older one's up to date, in one
  // transaction; server processes that start together take turns.
  static void setUp(PGconn* c) {
    // Bringing a large table up to date takes a while.
    const auto setUpBy = Clock::now() + std::chrono::minutes(10);
    exec(c, "BEGIN", setUpBy);
    try {
      exec(c, "SET LOCAL statement_timeout = 0", setUpBy);
      exec(c, "SELECT pg_advisory_xact_lock(7306)", setUpBy);
      exec(c,
           std::string("CREATE TABLE IF NOT EXISTS reports (id BIGSERIAL PRIMARY KEY, ") +
               sql::kColumns + ");" + sql::kIndexes +
               "CREATE TABLE IF NOT EXISTS morvane_schema (version INTEGER NOT NULL);",
           setUpBy);
      const Result v = exec(c, "SELECT COALESCE(MAX(version), 0) FROM morvane_schema", setUpBy);
      const int version = std::stoi(PQgetvalue(v.get(), 0, 0));
      if (version > kSchemaVersion)
        throw StoreError("the database was set up by a newer morvane-scores");
      if (version == 1) throw StoreError("the database has an unknown schema version 1");
      if (version < 2)
        exec(c,
             std::string(
                 "CREATE TABLE report_count (shard INTEGER PRIMARY KEY, n BIGINT NOT NULL);") +
                 sql::kFillCount +
                 // Once per statement (a batch of reports), so that reports of one player
                 // arriving together update its row once; rows in one order, so that
                 // concurrent batches never wait on each other in a circle.
                 "CREATE FUNCTION reports_counted() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN"
                 " INSERT INTO report_count (shard, n) SELECT id % 16, COUNT(*) FROM added"
                 " GROUP BY id % 16 ORDER BY id % 16"
                 " ON CONFLICT (shard) DO UPDATE SET n = report_count.n + excluded.n;"
                 " RETURN NULL; END $$;"
                 "CREATE TRIGGER reports_counted AFTER INSERT ON reports REFERENCING NEW TABLE AS"
                 " added FOR EACH STATEMENT EXECUTE FUNCTION reports_counted();"
                 // Counts that only matter for a minute need no write-ahead log.
                 "CREATE UNLOGGED TABLE rate_counts (key TEXT NOT NULL, minute BIGINT NOT NULL,"
                 " n BIGINT NOT NULL, PRIMARY KEY (key, minute));",
             setUpBy);
      if (version < 3)
        exec(c,
             std::string(sql::kBestTables) +
                 // Each player's best among a batch, then against the kept one: a higher
                 // score replaces it, an equal one does not (the earlier report stays).
                 "CREATE FUNCTION reports_best() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN"
                 " INSERT INTO player_best (name, id, score, games)"
                 " SELECT DISTINCT ON (name) name, id, score, COUNT(*) OVER (PARTITION BY name)"
                 " FROM added WHERE hidden = 0 ORDER BY name, score DESC, id"
                 " ON CONFLICT (name) DO UPDATE SET games = player_best.games + excluded.games,"
                 " id = CASE WHEN excluded.score > player_best.score THEN excluded.id"
                 " ELSE player_best.id END, score = GREATEST(excluded.score, player_best.score);"
                 " INSERT INTO level_best (level, name, id, score)"
                 " SELECT DISTINCT ON (level, name) level, name, id, score FROM added"
                 " WHERE hidden = 0 ORDER BY level, name, score DESC, id"
                 " ON CONFLICT (level, name) DO UPDATE SET"
                 " id = CASE WHEN excluded.score > level_best.score THEN excluded.id"
                 " ELSE level_best.id END, score = GREATEST(excluded.score, level_best.score);"
                 " RETURN NULL; END $$;"
                 "CREATE TRIGGER reports_best AFTER INSERT ON reports REFERENCING NEW TABLE AS"
                 " added FOR EACH STATEMENT EXECUTE FUNCTION reports_best();",
             setUpBy);
      exec(c,
           "DELETE FROM morvane_schema; INSERT INTO morvane_schema VALUES (" +
               std::to_string(kSchemaVersion) + ")",
           setUpBy);
      const Result w = exec(c,
                            "SELECT has_table_privilege('reports', 'INSERT') AND NOT "
                            "pg_is_in_recovery() AND current_setting('transaction_read_only') = "
                            "'off'",
                            setUpBy);
      if (std::string(PQgetvalue(w.get(), 0, 0)) != "t")
        throw StoreError(
            "the PostgreSQL store cannot be written: the server needs to write reports");
      exec(c, "COMMIT", setUpBy);
    } catch (...) {
      PQclear(PQexec(c, "ROLLBACK"));
      throw;
    }
  }

  // Runs statements with text parameters on one connection, by one deadline.
  class ConnectionTransaction : public Transaction {
   public:
    ConnectionTransaction(PGconn* c, Clock::time_point deadline) : c_(c), deadline_(deadline) {}
    std::vector<std::vector<std::string>> run(const std::string& statement,
                                              const std::vector<std::string>& params) override {
      std::vector<const char*> values;
      for (const auto& p : params) values.push_back(p.c_str());
      if (!PQsendQueryParams(c_, statement.c_str(), static_cast<int>(values.size()), nullptr,
                             values.data(), nullptr, nullptr, 0))
        throw StoreError("the store refused a statement: " + firstLine(PQerrorMessage(c_)));
      bool timedOut = false;
      const Result r = answer(c_, deadline_, timedOut);
      if (timedOut) throw StoreError("PostgreSQL did not answer in time");
      if (!r || (PQresultStatus(r.get()) != PGRES_COMMAND_OK &&
                 PQresultStatus(r.get()) != PGRES_TUPLES_OK))
        throw StoreError("the store refused a statement: " + firstLine(PQerrorMessage(c_)));
      std::vector<std::vector<std::string>> rows;
      for (int i = 0; i < PQntuples(r.get()); ++i) {
        rows.emplace_back();
        for (int j = 0; j < PQnfields(r.get()); ++j)
          rows.back().push_back(PQgetvalue(r.get(), i, j));
      }
      return rows;
    }

   private:
    PGconn* c_;
    Clock::time_point deadline_;
  };

  // Moderation runs in one transaction that keeps reports from changing the count and the best
  // tables meanwhile (taking all three first, so that no batch of reports holds one it waits
  // for), and each player's best is found again from all that has been committed.
  int moderateInTransaction(const std::string& where, const std::vector<std::string>& params,
                            bool hidden) override {
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    struct Back {
      PostgresStore& store;
      PGconn* c;
      ~Back() { store.release(c); }
    } back{*this, acquire(deadline)};
    if (!back.c) back.c = connectPrepared(deadline);
    ConnectionTransaction t(back.c, deadline);
    try {
      t.run("BEGIN", {});
      t.run("SET LOCAL statement_timeout = 0", {});
      t.run("LOCK TABLE report_count, player_best, level_best IN EXCLUSIVE MODE", {});
      const int changed = moderate(t, where, params, hidden);
      t.run("COMMIT", {});
      return changed;
    } catch (...) {
      // A connection left in a broken transaction is of no use to anyone after.
      PQfinish(back.c);
      back.c = nullptr;
      throw;
    }
  }

  // Prepared statements belong to a connection: each new one prepares them again.
  static void prepareStatements(PGconn* c, Clock::time_point deadline) {
    for (const auto& [name, text] : kStatements) {
      if (!PQsendPrepare(c, name, text, 0, nullptr))
        throw StoreError("cannot prepare a statement: " + firstLine(PQerrorMessage(c)));
      bool timedOut = false;
      const Result r = answer(c, deadline, timedOut);
      if (!r || PQresultStatus(r.get()) != PGRES_COMMAND_OK)
        throw StoreError("cannot prepare a statement: " + firstLine(PQerrorMessage(c)));
    }
  }

  // A pooled connection, or nullptr for a free place in the pool that has none yet. Waits a
  // bounded time for one to come free.
  PGconn* acquire(Clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    if (!ready_.wait_until(lock, deadline, [&] { return !free_.empty(); }))
      throw StoreError("no PostgreSQL connection came free in time");
    PGconn* c = free_.back();
    free_.pop_back();
    return c;
  }

  void release(PGconn* c) {
    {
      std::lock_guard lock(mutex_);
      free_.push_back(c);
    }
    ready_.notify_one();
  }

  PGconn* connectPrepared(Clock::time_point deadline) {
    PGconn* c = connect(deadline);
    try {
      prepareStatements(c, deadline);
    } catch (...) {
      PQfinish(c);
      throw;
    }
    return c;
  }

  // Runs a prepared statement. A connection found broken is replaced and the statement tried
  // once more; one that ran out of time is dropped and the call fails.
  Result run(const char* name, const std::vector<std::string>& params, ExecStatusType want) {
    std::vector<const char*> values;
    for (const auto& p : params) values.push_back(p.c_str());
    // One deadline for the whole call: the wait for a connection, making one, and the answer.
    const auto deadline = Clock::now() + std::chrono::milliseconds(kStoreWaitMs);
    struct Back {
      PostgresStore& store;
      PGconn* c;
      ~Back() { store.release(c); }
    } back{*this, acquire(deadline)};
    for (int attempt = 0;; ++attempt) {
      if (!back.c) back.c = connectPrepared(deadline);
      bool timedOut = false;
      Result r(nullptr, PQclear);
      if (PQsendQueryPrepared(back.c, name, static_cast<int>(values.size()), values.data(), nullptr,
                              nullptr, 0))
        r = answer(back.c, deadline, timedOut);
      if (r && PQresultStatus(r.get()) == want) return r;
      if (r && PQstatus(back.c) == CONNECTION_OK)
        throw StoreError("the store refused a statement: " + firstLine(PQerrorMessage(back.c)));
      PQfinish(back.c);
      back.c = nullptr;
      if (timedOut) throw StoreError("PostgreSQL did not answer in time");
      if (attempt > 0 || Clock::now() >= deadline)
        throw StoreError("lost the PostgreSQL connection");
    }
  }

  static std::vector<Score> rows(const Result& r) {
    std::vector<Score> out;
    for (int i = 0; i < PQntuples(r.get()); ++i) {
      const auto v = [&](int col) { return std::string(PQgetvalue(r.get(), i, col)); };
      out.push_back({v(0), v(1), std::stoi(v(2)), std::stoll(v(3)), v(4), std::stoll(v(5))});
    }
    return out;
  }

  std::string url_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::vector<PGconn*> free_;  // nullptr: a place whose connection was dropped
  std::atomic<std::int64_t> forgotten_{-1};
  GroupCommit commits_;
};

}  // namespace

std::unique_ptr<Store> openPostgresStore(const std::string& url) {
  return std::make_unique<PostgresStore>(url);
}

}  // namespace scores
