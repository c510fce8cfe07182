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
  int reportsPerMinuteInAll = 600;
  int threads = 64;
  int maxConnections = 1000;
  int perAddress = 8;
  int timeout = 5;
  int grace = 3;
  std::string denyWords;  // empty: no word list
};

inline constexpr const char* kUsage =
    "usage: morvane-scores [OPTION VALUE]...\n"
    "Receives Morvane's score reports and serves the leaderboard (/ and /scores.json).\n"
    "  --listen HOST:PORT     address to serve on (default 127.0.0.1:8080; [::1]:8080 for IPv6,\n"
    "                         [::]:8080 for every IPv6 and IPv4 address)\n"
    "  --db PATH|URL          SQLite file (default scores.sqlite, created when missing) or a\n"
    "                         postgresql:// URL; refused at start when it cannot be written\n"
    "  --rate N               reports one client may send per minute, 0 for no limit (default\n"
    "                         20); an IPv6 client counts by its /64; more are answered 429\n"
    "  --rate-all N           reports stored per minute from all clients together, 0 for no\n"
    "                         limit (default 600); more are answered 429\n"
    "  --threads N            requests served at once (default 64)\n"
    "  --max-connections N    connections open at once, all clients together (default 1000)\n"
    "  --max-per-address N    connections open at once from one client, 0 for no cap (default 8)\n"
    "  --timeout S            seconds for a request's line and headers to arrive after the\n"
    "                         connection opens or the last answer went, and for an answer to\n"
    "                         move at all; then the connection is closed (default 5)\n"
    "  --grace S              on SIGTERM or SIGINT, seconds for the requests in hand to finish\n"
    "                         before the server exits regardless (default 3)\n"
    "  --deny-words FILE      words no player name may contain, one a line ('#' starts a comment\n"
    "                         line); compared without case after Unicode normalisation (NFKC);\n"
    "                         such a report is answered 400 \"name not allowed\"; the file is "
    "read\n"
    "                         again on SIGHUP (an example: deny-words.example)\n"
    "Limits that are not options: a request's line and headers share 16 KiB per connection\n"
    "(longer ones are refused); a request with a body (Content-Length above 0 or any\n"
    "Transfer-Encoding) is answered 400 and its connection closed; methods other than GET and\n"
    "HEAD are answered 405; Range headers are ignored; only GET stores a report; at most 1024\n"
    "requests wait for a thread (more are answered 503); the store gets 2 s for each call\n"
    "(503 \"store unavailable\" after that); logged targets are cut after 256 bytes.\n"
    "With several processes on one PostgreSQL store, --rate and --rate-all count for all of\n"
    "them together.\n"
    "A report is taken for levels 1 to 10000000, scores from -1000000000 to 1000000000 and\n"
    "names of 1 to 12 characters by the game's name rules; anything else is answered 400.\n"
    "The best list shows each player once, with their best report and number of games; each\n"
    "level's list its best 10 players (of equal scores, the earlier report first).\n";

// Reads the arguments after the program name; on a mistake returns false and sets `error`.
bool parseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

}  // namespace scores
