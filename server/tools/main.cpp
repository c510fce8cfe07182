// SPDX-License-Identifier: GPL-3.0-or-later
// morvane-scores-bench: figures for the score server, all on 127.0.0.1 against a server process it
// starts itself, bounded in count, ending by itself.
//   load   N reports over C concurrent connections: reports/s, latency, rows == answers
//   crash  kill -9 in the middle of that load, restart: every answered report kept, store intact
//   fuzz   N random and mutated report queries: no crash, no 5xx, nothing stored for a 400
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "server/tools/modes.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const std::string mode = args.empty() ? "" : args[0];
  try {
    if (mode == "load") return scores::bench::loadMode(args);
    if (mode == "crash") return scores::bench::crashMode(args);
    if (mode == "fuzz") return scores::bench::fuzzMode(args);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "morvane-scores-bench: %s\n", e.what());
    return 1;
  }
  std::fprintf(stderr,
               "usage: morvane-scores-bench load|crash|fuzz --server PATH/TO/morvane-scores --db "
               "PATH|postgresql://...\n"
               "  load, crash: [--reports 20000] [--connections 200]\n"
               "  fuzz: [--queries 100000] [--seed 1] [--connections 8]\n");
  return 2;
}
