// SPDX-License-Identifier: GPL-3.0-or-later
// morvane-scores: receives the game's score reports and serves the leaderboard page.
// Runs in the foreground, logs one line per request on standard output, and stops cleanly on
// SIGTERM or SIGINT.
#include <httplib.h>
#include <pthread.h>
#include <sys/socket.h>

#include <atomic>
#include <csignal>
#include <iostream>
#include <thread>

#include "server/http.h"
#include "server/options.h"
#include "server/service.h"
#include "server/store.h"

namespace {

std::string storeKind(const std::string& db) {
  return scores::isPostgresUrl(db) ? "PostgreSQL" : "SQLite file " + db;
}

sigset_t stopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  return set;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << scores::kUsage;
    return 0;
  }
  scores::Options options;
  std::string error;
  if (!scores::parseOptions(args, options, error)) {
    std::cerr << "morvane-scores: " << error << "\n" << scores::kUsage;
    return 2;
  }

  // The stop signals are taken by one waiting thread only, never in the middle of a request.
  const sigset_t signals = stopSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  std::unique_ptr<scores::Store> store;
  try {
    store = scores::openStore(options.db);
  } catch (const scores::StoreError& e) {
    std::cerr << "morvane-scores: " << e.what() << "\n";
    return 1;
  }
  scores::ScoreService service(*store, options.reportsPerMinute);
  scores::RequestLog log(std::cout);

  httplib::Server http;
  const int threads = options.threads;
  http.new_task_queue = [threads] { return new httplib::ThreadPool(static_cast<size_t>(threads)); };
  http.set_keep_alive_max_count(100);
  http.set_read_timeout(5);
  http.set_payload_max_length(4096);
  // Answers leave in one go instead of waiting on the client's delayed acknowledgement.
  http.set_tcp_nodelay(true);
  // The library listens with a queue of 5 pending connections, which a burst of players
  // overflows (a dropped connection waits a second to retry). Debian ships the library compiled,
  // so its CPPHTTPLIB_LISTEN_BACKLOG cannot raise that; the listening socket is noted here and its
  // queue raised once it listens.
  int listening = -1;
  http.set_socket_options([&](int sock) {
    const int one = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    listening = sock;
  });
  scores::route(http, service, log);

  const int port = options.port == 0
                       ? http.bind_to_any_port(options.host)
                       : (http.bind_to_port(options.host, options.port) ? options.port : -1);
  if (port < 0) {
    std::cerr << "morvane-scores: cannot listen on " << options.host << ":" << options.port << "\n";
    return 1;
  }
  listen(listening, SOMAXCONN);
  const bool v6 = options.host.find(':') != std::string::npos;
  log.line("morvane-scores: serving http://" + (v6 ? "[" + options.host + "]" : options.host) +
           ":" + std::to_string(port) + "/ from " + storeKind(options.db));

  std::atomic<bool> served{false};
  std::thread stopper([&] {
    int sig = 0;
    sigwait(&signals, &sig);
    // stop() is retried until the server has started and ended, so an early signal is not lost.
    while (!served) {
      http.stop();
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
  http.listen_after_bind();
  served = true;
  pthread_kill(stopper.native_handle(), SIGTERM);  // wakes the waiting thread if no signal came
  stopper.join();
  store.reset();
  log.line("morvane-scores: stopped");
  return 0;
}
