// SPDX-License-Identifier: GPL-3.0-or-later
// morvane-scores: receives the game's score reports and serves the leaderboard page.
// Runs in the foreground, logs one line per request on standard output, reads its word list
// again on SIGHUP, and stops on SIGTERM or SIGINT within its grace period, whatever clients do.
// `morvane-scores list|hide|unhide ...` moderates the same store from the command line.
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <iostream>

#include "server/http.h"
#include "server/moderation.h"
#include "server/options.h"
#include "server/service.h"
#include "server/store.h"

namespace {

std::string storeKind(const std::string& db) {
  return scores::isPostgresUrl(db) ? "PostgreSQL" : "SQLite file " + db;
}

// Open files: every connection is one, and the store needs a few more. The soft limit is raised
// to the hard one; when even that is too low, fewer connections are taken.
int connectionsWithinFileLimit(int wanted, scores::RequestLog& log) {
  constexpr int kSpare = 64;  // the store, the log, the event loop
  rlimit files{};
  if (getrlimit(RLIMIT_NOFILE, &files) != 0) return wanted;
  if (files.rlim_cur < files.rlim_max) {
    files.rlim_cur = files.rlim_max;
    setrlimit(RLIMIT_NOFILE, &files);
    getrlimit(RLIMIT_NOFILE, &files);
  }
  if (files.rlim_cur == RLIM_INFINITY || static_cast<rlim_t>(wanted + kSpare) <= files.rlim_cur)
    return wanted;
  const int fits = std::max(1, static_cast<int>(files.rlim_cur) - kSpare);
  log.line("morvane-scores: the open-file limit (" + std::to_string(files.rlim_cur) +
           ") allows only " + std::to_string(fits) + " connections at once");
  return fits;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << scores::kUsage << scores::kModerationUsage;
    return 0;
  }
  if (!args.empty() && scores::isModerationCommand(args[0]))
    return scores::runModeration(args, std::cout, std::cerr);
  scores::Options options;
  std::string error;
  if (!scores::parseOptions(args, options, error)) {
    std::cerr << "morvane-scores: " << error << "\n" << scores::kUsage;
    return 2;
  }

  // The signals are taken by the main thread only, never in the middle of a request.
  sigset_t signals;
  sigemptyset(&signals);
  for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&signals, s);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  scores::RequestLog log(std::cout);
  std::unique_ptr<scores::Store> store;
  try {
    store = scores::openStore(options.db);
  } catch (const scores::StoreError& e) {
    std::cerr << "morvane-scores: " << e.what() << "\n";
    return 1;
  }
  // What made the store fail goes to the log, at most once a second; clients hear only "store
  // unavailable".
  std::mutex troubleMutex;
  auto lastTrouble = std::chrono::steady_clock::time_point();
  scores::ScoreService service(
      *store, {options.reportsPerMinute, options.reportsPerMinuteInAll},
      [&](const std::string& what) {
        std::lock_guard lock(troubleMutex);
        const auto now = std::chrono::steady_clock::now();
        if (now - lastTrouble < std::chrono::seconds(1)) return;
        lastTrouble = now;
        log.line(scores::utcTime(std::chrono::system_clock::now()) + " store unavailable: " + what);
      });

  if (!options.denyWords.empty()) {
    try {
      const auto filter = scores::NameFilter::load(options.denyWords);
      service.setNameFilter(filter);
      log.line("morvane-scores: " + std::to_string(filter->size()) + " words from " +
               options.denyWords);
    } catch (const std::exception& e) {
      std::cerr << "morvane-scores: " << e.what() << "\n";
      return 1;
    }
  }

  scores::HttpLimits limits;
  limits.maxConnections = connectionsWithinFileLimit(options.maxConnections, log);
  limits.perAddress = options.perAddress;
  limits.timeoutSeconds = options.timeout;
  limits.workers = options.threads;
  scores::HttpServer http(service, log, limits);
  int port = 0;
  try {
    port = http.start(options.host, options.port);
  } catch (const std::exception& e) {
    std::cerr << "morvane-scores: " << e.what() << "\n";
    return 1;
  }
  const bool v6 = options.host.find(':') != std::string::npos;
  log.line("morvane-scores: serving http://" + (v6 ? "[" + options.host + "]" : options.host) +
           ":" + std::to_string(port) + "/ from " + storeKind(options.db));

  for (int sig = 0; sigwait(&signals, &sig) == 0 && sig == SIGHUP;) {
    if (options.denyWords.empty()) continue;
    // A list that cannot be read leaves the one in use as it is.
    try {
      const auto filter = scores::NameFilter::load(options.denyWords);
      service.setNameFilter(filter);
      log.line("morvane-scores: " + std::to_string(filter->size()) + " words from " +
               options.denyWords + " (read again)");
    } catch (const std::exception& e) {
      log.line(std::string("morvane-scores: ") + e.what() + "; the words in use stay");
    }
  }
  log.line("morvane-scores: stopping");
  if (!http.stop(std::chrono::seconds(options.grace))) {
    log.line("morvane-scores: stopped with requests still waiting on the store");
    std::cout.flush();
    _exit(1);
  }
  store.reset();
  log.line("morvane-scores: stopped");
  return 0;
}
