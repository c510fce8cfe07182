// SPDX-License-Identifier: GPL-3.0-or-later
// The shared store: a PostgreSQL database, reached through a small pool of connections so that
// requests on several threads, and several server processes, write at the same time.
#include <libpq-fe.h>

#include <condition_variable>
#include <mutex>

#include "server/store.h"
#include "server/store_open.h"

namespace scores {

namespace {

constexpr int kConnections = 8;
constexpr const char* kStatements[][2] = {{"insert", sql::kInsert},
                                          {"best", sql::kBest},
                                          {"per_level", sql::kBestPerLevelPostgres},
                                          {"count", sql::kCount}};

using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

class PostgresStore : public Store {
 public:
  explicit PostgresStore(const std::string& url) : url_(url) {
    try {
      for (int i = 0; i < kConnections; ++i) {
        idle_.push_back(connect());
        if (i == 0) createTable(idle_.back());
        prepareStatements(idle_.back());
      }
    } catch (...) {
      for (PGconn* c : idle_) PQfinish(c);
      throw;
    }
  }

  ~PostgresStore() override {
    for (PGconn* c : idle_) PQfinish(c);
  }

  void add(const Report& r, const std::string& received, const std::string& address) override {
    run("insert",
        {r.name, r.version, std::to_string(r.level), std::to_string(r.score), received, address},
        PGRES_COMMAND_OK);
  }

  std::vector<Score> best(int limit) override {
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

 private:
  static void ignoreNotice(void*, const char*) {}

  PGconn* connect() {
    PGconn* c = PQconnectdb(url_.c_str());
    if (PQstatus(c) != CONNECTION_OK) {
      const std::string why = PQerrorMessage(c);
      PQfinish(c);
      throw StoreError("cannot connect to PostgreSQL: " + firstLine(why));
    }
    PQsetNoticeProcessor(c, ignoreNotice, nullptr);  // "already exists, skipping" is no news
    return c;
  }

  static std::string firstLine(const std::string& s) { return s.substr(0, s.find('\n')); }

  static void expect(PGconn* c, const Result& r, ExecStatusType want, const char* what) {
    if (PQresultStatus(r.get()) != want)
      throw StoreError(std::string(what) + ": " + firstLine(PQerrorMessage(c)));
  }

  static void createTable(PGconn* c) {
    // The lock keeps server processes that start together from creating the table twice.
    const std::string setup = std::string("SELECT pg_advisory_lock(7306);") +
                              "CREATE TABLE IF NOT EXISTS reports (id BIGSERIAL PRIMARY KEY, " +
                              sql::kColumns + ");" + sql::kIndexes +
                              "SELECT pg_advisory_unlock(7306);";
    expect(c, Result(PQexec(c, setup.c_str()), PQclear), PGRES_TUPLES_OK,
           "cannot set up the store");
  }

  // Prepared statements belong to a connection: each new or reset one prepares them again.
  static void prepareStatements(PGconn* c) {
    for (const auto& [name, text] : kStatements)
      expect(c, Result(PQprepare(c, name, text, 0, nullptr), PQclear), PGRES_COMMAND_OK,
             "cannot prepare a statement");
  }

  PGconn* acquire() {
    std::unique_lock lock(mutex_);
    ready_.wait(lock, [&] { return !idle_.empty(); });
    PGconn* c = idle_.back();
    idle_.pop_back();
    return c;
  }

  void release(PGconn* c) {
    {
      std::lock_guard lock(mutex_);
      idle_.push_back(c);
    }
    ready_.notify_one();
  }

  // Runs a prepared statement; a connection found broken is reset and the statement tried once
  // more.
  Result run(const char* name, const std::vector<std::string>& params, ExecStatusType want) {
    std::vector<const char*> values;
    for (const auto& p : params) values.push_back(p.c_str());
    PGconn* c = acquire();
    struct Back {
      PostgresStore& store;
      PGconn* c;
      ~Back() { store.release(c); }
    } back{*this, c};
    for (int attempt = 0;; ++attempt) {
      Result r(PQexecPrepared(c, name, static_cast<int>(values.size()), values.data(), nullptr,
                              nullptr, 0),
               PQclear);
      if (PQresultStatus(r.get()) == want) return r;
      if (attempt > 0 || PQstatus(c) == CONNECTION_OK)
        expect(c, r, want, "the store refused a statement");
      PQreset(c);
      if (PQstatus(c) != CONNECTION_OK) throw StoreError("lost the PostgreSQL connection");
      prepareStatements(c);
    }
  }

  static std::vector<Score> rows(const Result& r) {
    std::vector<Score> out;
    for (int i = 0; i < PQntuples(r.get()); ++i) {
      const auto v = [&](int col) { return std::string(PQgetvalue(r.get(), i, col)); };
      out.push_back({v(0), v(1), std::stoi(v(2)), std::stoll(v(3)), v(4)});
    }
    return out;
  }

  std::string url_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::vector<PGconn*> idle_;
};

}  // namespace

std::unique_ptr<Store> openPostgresStore(const std::string& url) {
  return std::make_unique<PostgresStore>(url);
}

}  // namespace scores
