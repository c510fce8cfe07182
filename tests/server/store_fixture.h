// SPDX-License-Identifier: GPL-3.0-or-later
// A fresh, empty store of either kind for one test. The SQLite store is a file in a new temporary
// folder; the PostgreSQL store is a schema of its own in the database named by
// MORVANE_TEST_POSTGRES_URL, dropped afterwards. Without that variable PostgreSQL tests skip.
#pragma once

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "server/store.h"

class StoreFixture : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    if (GetParam() == "sqlite") {
      char tmpl[] = "/tmp/morvane-store-XXXXXX";
      folder_ = mkdtemp(tmpl);
      where_ = folder_ + "/scores.sqlite";
    } else {
      const char* url = std::getenv("MORVANE_TEST_POSTGRES_URL");
      if (!url || !*url)
        GTEST_SKIP() << "MORVANE_TEST_POSTGRES_URL is not set: no PostgreSQL to test against";
      static int counter = 0;
      schema_ = "t" + std::to_string(getpid()) + "_" + std::to_string(++counter);
      admin_ = PQconnectdb(url);
      ASSERT_EQ(PQstatus(admin_), CONNECTION_OK) << PQerrorMessage(admin_);
      admin("CREATE SCHEMA " + schema_);
      const std::string base = url;
      where_ = base + (base.find('?') == std::string::npos ? "?" : "&") +
               "options=-csearch_path%3D" + schema_;
    }
    store = scores::openStore(where_);
  }

  void TearDown() override {
    store.reset();
    if (admin_) {
      admin("DROP SCHEMA " + schema_ + " CASCADE");
      PQfinish(admin_);
    }
    if (!folder_.empty()) std::filesystem::remove_all(folder_);
  }

  // Opens the same store again, as a restarted server would.
  void reopen() {
    store.reset();
    store = scores::openStore(where_);
  }

  // Writes a row straight into the store's table, past every check a report goes through.
  void insertRaw(const std::string& name, int level, long long score) {
    scores::Report r{name, "1.7", level, score};
    store->add(r, "2026-01-01T00:00:00Z", "192.0.2.1");
  }

  // Where the store is: the SQLite file's path or the PostgreSQL URL.
  const std::string& where() const { return where_; }

  std::unique_ptr<scores::Store> store;

 protected:
  // Runs `statement` in the test's PostgreSQL schema (PostgreSQL only).
  void inSchema(const std::string& statement) {
    admin("SET search_path TO " + schema_ + "; " + statement);
  }

 private:
  void admin(const std::string& statement) {
    PGresult* r = PQexec(admin_, statement.c_str());
    EXPECT_EQ(PQresultStatus(r), PGRES_COMMAND_OK) << PQerrorMessage(admin_);
    PQclear(r);
  }

  std::string folder_, where_, schema_;
  PGconn* admin_ = nullptr;
};

inline std::string storeKindName(const ::testing::TestParamInfo<std::string>& info) {
  return info.param;
}

// A store that keeps nothing, for tests that only watch what the service asks of it.
struct FakeStore : scores::Store {
  void add(const scores::Report&, const std::string&, const std::string&) override {}
  std::vector<scores::Score> bestPlayers(int) override { return {}; }
  std::vector<scores::Score> bestPerLevel(int, int) override { return {}; }
  std::int64_t count() override { return 0; }
  std::int64_t countInMinute(const std::string&, std::int64_t) override { return 1; }
  std::vector<scores::StoredReport> list(const std::string&, bool, int) override { return {}; }
  std::int64_t moderation() override { return 0; }

 protected:
  int moderateInTransaction(const std::string&, const std::vector<std::string>&, bool) override {
    return 0;
  }
};
