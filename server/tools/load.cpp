// SPDX-License-Identifier: GPL-3.0-or-later
// The load and durability runs: many concurrent connections sending distinct reports.
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "server/store.h"
#include "server/tools/bench_client.h"
#include "server/tools/modes.h"

namespace scores::bench {

namespace {

using Clock = std::chrono::steady_clock;

struct LoadResult {
  std::vector<double> latencyMs;     // of the answered requests
  std::vector<std::string> okNames;  // names whose report was answered 200
  long failed = 0;                   // no answer, or not 200
  double seconds = 0;
};

// Sends `reports` distinct reports over `connections` keep-alive connections; a connection that
// loses its server stops. `okSoFar` counts the 200 answers as they come.
LoadResult runLoad(int port, int reports, int connections, const std::string& tag,
                   std::atomic<long>& okSoFar) {
  LoadResult total;
  std::mutex merge;
  std::atomic<int> next{0};
  const auto start = Clock::now();
  std::vector<std::thread> workers;
  for (int w = 0; w < connections; ++w) {
    workers.emplace_back([&] {
      Connection c(port);
      LoadResult mine;
      for (int i; (i = next++) < reports;) {
        const std::string name = tag + std::to_string(i);
        const std::string target = "/morvane/mv.asp?action2=add&playername=" + name +
                                   "%201.7&level=" + std::to_string(1 + i % 100) +
                                   "&score=" + std::to_string(i * 7 % 1000000);
        const auto t0 = Clock::now();
        const int status = c.get(target);
        if (status == 0) {
          ++mine.failed;
          break;  // the server is gone
        }
        mine.latencyMs.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        if (status == 200) {
          mine.okNames.push_back(name);
          ++okSoFar;
        } else {
          ++mine.failed;
        }
      }
      std::lock_guard lock(merge);
      total.latencyMs.insert(total.latencyMs.end(), mine.latencyMs.begin(), mine.latencyMs.end());
      total.okNames.insert(total.okNames.end(), mine.okNames.begin(), mine.okNames.end());
      total.failed += mine.failed;
    });
  }
  for (auto& t : workers) t.join();
  total.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return total;
}

// Two letters that set this run's report names apart from any earlier run's in the same store.
std::string runTag(char first) {
  std::mt19937 rng(static_cast<unsigned>(Clock::now().time_since_epoch().count()));
  std::string tag(1, first);
  for (int i = 0; i < 2; ++i) tag += static_cast<char>('A' + rng() % 26);
  return tag;
}

std::set<std::string> storedNames(Store& store) {
  std::set<std::string> names;
  for (const StoredReport& r : store.list("", false, static_cast<int>(store.count())))
    names.insert(r.report.name);
  return names;
}

bool sqliteIntact(const std::string& db) {
  if (isPostgresUrl(db)) return true;  // PostgreSQL recovers its own files
  sqlite3* h = nullptr;
  bool ok = sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
  sqlite3_stmt* s = nullptr;
  ok = ok && sqlite3_prepare_v2(h, "PRAGMA integrity_check", -1, &s, nullptr) == SQLITE_OK &&
       sqlite3_step(s) == SQLITE_ROW &&
       std::string(reinterpret_cast<const char*>(sqlite3_column_text(s, 0))) == "ok";
  sqlite3_finalize(s);
  sqlite3_close(h);
  return ok;
}

}  // namespace

int loadMode(const std::vector<std::string>& args) {
  const std::string program = option(args, "--server", ""), db = option(args, "--db", "");
  const int reports = std::stoi(option(args, "--reports", "20000"));
  const int connections = std::stoi(option(args, "--connections", "200"));
  const std::int64_t before = openStore(db)->count();
  ServerProcess server(program, db, connections);
  std::atomic<long> ok{0};
  LoadResult r = runLoad(server.port(), reports, connections, runTag('L'), ok);
  const bool stopped = server.stop();
  const std::int64_t rows = openStore(db)->count() - before;
  const double p50 = quantile(r.latencyMs, 0.50), p99 = quantile(r.latencyMs, 0.99),
               max = quantile(r.latencyMs, 1.0);
  std::printf(
      "load: %d reports over %d connections in %.2f s: %.0f reports/s, latency p50 %.2f ms, p99 "
      "%.2f ms, "
      "max %.2f ms\n",
      reports, connections, r.seconds, static_cast<double>(ok) / r.seconds, p50, p99, max);
  std::printf(
      "load: %ld answered ok, %ld failed, %lld rows stored, %lld lost; server stopped cleanly: "
      "%s\n",
      ok.load(), r.failed, static_cast<long long>(rows), static_cast<long long>(ok - rows),
      stopped ? "yes" : "no");
  return ok == reports && rows == ok && stopped ? 0 : 1;
}

int crashMode(const std::vector<std::string>& args) {
  const std::string program = option(args, "--server", ""), db = option(args, "--db", "");
  const int reports = std::stoi(option(args, "--reports", "20000"));
  const int connections = std::stoi(option(args, "--connections", "200"));
  std::atomic<long> ok{0};
  LoadResult r;
  {
    ServerProcess server(program, db, connections);
    std::thread load([&] { r = runLoad(server.port(), reports, connections, runTag('K'), ok); });
    // kill -9 in the middle of the load: once half the reports are answered.
    while (ok < reports / 2 && server.alive())
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    server.kill9();
    load.join();
  }
  const bool intact = sqliteIntact(db);
  ServerProcess again(program, db, 4);
  Connection c(again.port());
  const int page = c.get("/");
  const std::set<std::string> stored = storedNames(*openStore(db));
  long missing = 0;
  for (const auto& name : r.okNames) missing += stored.count(name) == 0;
  const bool stopped = again.stop();
  std::printf(
      "durability: killed with -9 after %zu reports answered ok (%ld requests unanswered or "
      "refused)\n",
      r.okNames.size(), r.failed);
  std::printf(
      "durability: after restart the store %s, the page answers %d, %ld answered reports missing; "
      "restarted server stopped cleanly: %s\n",
      intact ? "passes its integrity check" : "FAILS its integrity check", page, missing,
      stopped ? "yes" : "no");
  return intact && page == 200 && missing == 0 && !r.okNames.empty() && stopped ? 0 : 1;
}

}  // namespace scores::bench
