// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of morvane-scores.
#pragma once

#include <string>
#include <vector>

namespace scores {

struct Options {
  std::string host = "127.0.0.1";
  int port = 8080;  // 0 picks a free port, shown in the first log line
  std::string db = "scores.sqlite";
  int reportsPerMinute = 20;
  int threads = 32;
};

inline constexpr const char* kUsage =
    "usage: morvane-scores [--listen HOST:PORT] [--db PATH|postgresql://...] [--rate N] [--threads "
    "N]\n"
    "  --listen   address to serve on (default 127.0.0.1:8080; [::1]:8080 for IPv6)\n"
    "  --db       SQLite file (default scores.sqlite) or a PostgreSQL connection URL\n"
    "  --rate     reports one client address may send per minute, 0 for no limit (default 20)\n"
    "  --threads  requests served at once (default 32)\n";

// Reads the arguments after the program name; on a mistake returns false and sets `error`.
bool parseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

}  // namespace scores
