// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/page.h"

#include <cstdio>

#include "common/utf8.h"

namespace scores {

namespace {

constexpr const char* kStyle = R"(
body{margin:0;font:16px/1.4 "DejaVu Sans",Verdana,sans-serif;background:#14101e;color:#ece6f6}
main{max-width:46rem;margin:0 auto;padding:1rem}
h1{font-size:1.6rem;margin:.2rem 0}h2{font-size:1.2rem;margin:1.6rem 0 .4rem}
h3{font-size:1rem;margin:0 0 .3rem;color:#f3c15a}
p.note{color:#a89cbc;margin:.2rem 0 1rem}
table{border-collapse:collapse;width:100%}
th,td{padding:.25rem .45rem;text-align:left;border-bottom:1px solid #2e2642}
th{color:#a89cbc;font-weight:normal;font-size:.85rem}
td.n,th.n{text-align:right;font-variant-numeric:tabular-nums}
.n,.when{width:1%;white-space:nowrap}
td.name{overflow-wrap:break-word;font-weight:bold}
tbody tr:nth-child(-n+3) td.name{color:#f3c15a}
.levels{display:grid;grid-template-columns:repeat(auto-fill,minmax(17rem,1fr));gap:1rem}
.levels section{background:#1d172b;border-radius:6px;padding:.6rem}
@media (max-width:30rem){body{font-size:15px}main{padding:.5rem}th,td{padding:.2rem .25rem}
.when{display:none}td.name{overflow-wrap:anywhere}}
)";

std::string number(std::int64_t v) {
  // Thousands grouped with thin spaces, so long scores stay readable in narrow columns; a
  // negative score with a real minus sign.
  const std::string digits = std::to_string(v < 0 ? -v : v);
  std::string out = v < 0 ? "\u2212" : "";
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += "\u202F";
    out += digits[i];
  }
  return out;
}

// "2026-12-08T07:50:01Z" shown as "2026-12-08 07:50".
std::string shownTime(const std::string& received) {
  std::string t = received.substr(0, 16);
  if (t.size() > 10 && t[10] == 'T') t[10] = ' ';
  return htmlEscape(t);
}

// The overall table also shows each player's level, number of games and when; a level's table,
// in a narrow card, only name and score.
std::string table(const std::vector<Score>& rows, size_t from, size_t to, bool overall) {
  std::string h = "<table><thead><tr><th class=n>#</th><th>Name</th>";
  if (overall) h += "<th class=n>Level</th>";
  h += "<th class=n>Score</th>";
  if (overall) h += "<th class=\"n games\">Games</th><th class=when>When (UTC)</th>";
  h += "</tr></thead><tbody>\n";
  for (size_t i = from; i < to; ++i) {
    const Score& s = rows[i];
    h += "<tr><td class=n>" + std::to_string(i - from + 1) + "</td><td class=name><bdi>" +
         htmlEscape(s.name) + "</bdi></td>";
    if (overall) h += "<td class=n>" + std::to_string(s.level) + "</td>";
    h += "<td class=n>" + number(s.score) + "</td>";
    if (overall)
      h += "<td class=\"n games\">" + number(s.games) + "</td><td class=when>" +
           shownTime(s.received) + "</td>";
    h += "</tr>\n";
  }
  return h + "</tbody></table>\n";
}

std::string scoreJson(const Score& s, bool overall) {
  return "{\"name\":" + jsonString(s.name) + ",\"version\":" + jsonString(s.version) +
         ",\"level\":" + std::to_string(s.level) + ",\"score\":" + std::to_string(s.score) +
         (overall ? ",\"games\":" + std::to_string(s.games) : "") +
         ",\"received\":" + jsonString(s.received) + "}";
}

std::string jsonList(const std::vector<Score>& rows, size_t from, size_t to, bool overall) {
  std::string j = "[";
  for (size_t i = from; i < to; ++i) j += (i > from ? "," : "") + scoreJson(rows[i], overall);
  return j + "]";
}

// Calls `each(level, from, to)` for every run of one level in `perLevel`.
template <typename Each>
void forEachLevel(const std::vector<Score>& perLevel, Each each) {
  for (size_t from = 0; from < perLevel.size();) {
    size_t to = from;
    while (to < perLevel.size() && perLevel[to].level == perLevel[from].level) ++to;
    each(perLevel[from].level, from, to);
    from = to;
  }
}

}  // namespace

Leaderboard readLeaderboard(Store& store) {
  return {store.bestPlayers(kBestShown), store.bestPerLevel(kBestPerLevel, kLevelTables),
          store.count()};
}

std::string htmlEscape(std::string_view text) {
  std::string out;
  for (const char c : mv::validUtf8(text)) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string jsonString(std::string_view text) {
  std::string out = "\"";
  for (const char ch : mv::validUtf8(text)) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20 || c == '<' || c == '>' || c == '&' || c == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string renderPage(const Leaderboard& board) {
  std::string h =
      "<!DOCTYPE html>\n<html lang=en><head><meta charset=utf-8>"
      "<meta name=viewport content=\"width=device-width,initial-scale=1\">"
      "<title>Morvane leaderboard</title><style>";
  h += kStyle;
  h += "</style></head><body><main>\n<h1>Morvane leaderboard</h1>\n<p class=note>" +
       number(board.reports) + (board.reports == 1 ? " report" : " reports") +
       " received. Scores are sent when a player leaves the game; each player shows once, with "
       "their best.</p>\n";
  if (board.best.empty()) return h + "<p>No scores yet.</p>\n</main></body></html>\n";
  h += "<h2>Best " + std::to_string(kBestShown) + " players</h2>\n" +
       table(board.best, 0, board.best.size(), true);
  h += "<h2>Best of each level</h2>\n<div class=levels>\n";
  forEachLevel(board.perLevel, [&](int level, size_t from, size_t to) {
    h += "<section><h3>Level " + std::to_string(level) + "</h3>\n" +
         table(board.perLevel, from, to, false) + "</section>\n";
  });
  return h + "</div>\n</main></body></html>\n";
}

std::string renderJson(const Leaderboard& board) {
  std::string j = "{\"reports\":" + std::to_string(board.reports) +
                  ",\"best\":" + jsonList(board.best, 0, board.best.size(), true) + ",\"levels\":[";
  bool first = true;
  forEachLevel(board.perLevel, [&](int level, size_t from, size_t to) {
    j += (first ? "" : ",") + std::string("{\"level\":") + std::to_string(level) +
         ",\"best\":" + jsonList(board.perLevel, from, to, false) + "}";
    first = false;
  });
  return j + "]}\n";
}

}  // namespace scores
