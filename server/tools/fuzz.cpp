// SPDX-License-Identifier: GPL-3.0-or-later
// The bad-input run: random and mutated report queries, each reproducible from its seed and index.
#include <atomic>
#include <cstdio>
#include <mutex>
#include <random>
#include <thread>

#include "common/names.h"
#include "common/report.h"
#include "server/report.h"
#include "server/store.h"
#include "server/tools/bench_client.h"
#include "server/tools/modes.h"

namespace scores::bench {

namespace {

using Rng = std::mt19937_64;
constexpr std::int64_t kMaxScore = mv::report::kMaxScore;

int pick(Rng& rng, int n) {
  return static_cast<int>(rng() % static_cast<unsigned>(n));
}

// Each byte percent-encoded or left as it is, at random.
std::string encodeSome(Rng& rng, const std::string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    const bool mustEncode = c <= ' ' || c == '&' || c == '=' || c == '%' || c == '#' || c == '+';
    if (mustEncode || pick(rng, 3) == 0) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

std::string goodQuery(Rng& rng) {
  static const char* kNames[] = {"ANNA",    "ZOË",  "A&B",          "Ж",      "KESTREL",
                                 "O'BRIEN", "日本", "123456789012", "[NONE]", "É.É"};
  const std::string name = kNames[pick(rng, 10)];
  return "action2=add&playername=" + encodeSome(rng, name + " 1.7") +
         "&level=" + std::to_string(1 + pick(rng, mv::report::kMaxLevel)) + "&score=" +
         std::to_string(static_cast<std::int64_t>(rng() % (2 * kMaxScore + 1)) - kMaxScore);
}

std::string mutate(Rng& rng, std::string q) {
  static const char* kTokens[] = {"%",
                                  "%0",
                                  "%G1",
                                  "%00",
                                  "%0A",
                                  "%20",
                                  "&",
                                  "=",
                                  "&level=5",
                                  "&score=-1",
                                  "&playername=",
                                  "+",
                                  "%C3",
                                  "%ED%A0%80",
                                  "..",
                                  "CON",
                                  "-",
                                  "99999999999999999999",
                                  "action2=add",
                                  "%E2%80%AE",
                                  "%C2%A0",
                                  "a",
                                  " ",
                                  "\r\n",
                                  "#"};
  const int mutations = 1 + pick(rng, 4);
  for (int m = 0; m < mutations; ++m) {
    const size_t at = q.empty() ? 0 : rng() % (q.size() + 1);
    switch (pick(rng, 6)) {
      case 0:
        if (!q.empty()) q[std::min(at, q.size() - 1)] = static_cast<char>(rng());
        break;
      case 1:
        q.insert(at, 1, static_cast<char>(rng()));
        break;
      case 2:
        q.erase(at, 1 + pick(rng, 12));
        break;
      case 3:
        q.insert(at, kTokens[pick(rng, 25)]);
        break;
      case 4:
        q.resize(at);
        break;
      default:
        q.insert(at, q.substr(at, 1 + pick(rng, 30)));
        break;
    }
  }
  return q;
}

std::string fuzzQuery(std::uint64_t seed, std::uint64_t index) {
  Rng rng(seed * 1000003 + index);
  switch (pick(rng, 10)) {
    case 0: {  // bytes of any value
      std::string q(static_cast<size_t>(pick(rng, 200)), ' ');
      for (char& c : q) c = static_cast<char>(rng());
      return q;
    }
    case 1:
      return goodQuery(rng);
    default:
      return mutate(rng, goodQuery(rng));
  }
}

// Bytes that end or split a request line; such a query gets a connection of its own.
bool breaksTheLine(const std::string& q) {
  for (const char ch : q)
    if (static_cast<unsigned char>(ch) <= ' ' || ch == 0x7F) return true;
  return false;
}

bool plausible(const Score& s) {
  return mv::nameRefusal(s.name).empty() && s.level >= 1 && s.level <= mv::report::kMaxLevel &&
         s.score >= -kMaxScore && s.score <= kMaxScore;
}

}  // namespace

int fuzzMode(const std::vector<std::string>& args) {
  const std::string program = option(args, "--server", ""), db = option(args, "--db", "");
  const long queries = std::stol(option(args, "--queries", "100000"));
  const std::uint64_t seed = std::stoull(option(args, "--seed", "1"));
  const int connections = std::stoi(option(args, "--connections", "8"));
  const std::int64_t before = openStore(db)->count();
  ServerProcess server(program, db, connections);
  std::atomic<long> next{0}, ok{0}, refused{0}, closed{0}, errors{0}, unanswered{0};
  std::mutex firstErrorMutex;
  std::string firstError;
  std::vector<std::thread> workers;
  for (int w = 0; w < connections; ++w) {
    workers.emplace_back([&] {
      Connection c(server.port());
      for (long i; (i = next++) < queries;) {
        const std::string q = fuzzQuery(seed, static_cast<std::uint64_t>(i));
        const int status = c.get("/morvane/mv.asp?" + q, breaksTheLine(q));
        if (status == 200) {
          ++ok;
        } else if (status >= 400 && status < 500) {
          ++refused;
        } else if (status == 0 && breaksTheLine(q)) {
          ++closed;  // a request line that cannot be read is not answered, only closed
        } else {
          ++(status == 0 ? unanswered : errors);
          std::lock_guard lock(firstErrorMutex);
          if (firstError.empty())
            firstError = "query " + std::to_string(i) + " answered " + std::to_string(status);
        }
      }
    });
  }
  for (auto& t : workers) t.join();
  const bool alive = server.alive();
  const bool stopped = server.stop();
  auto store = openStore(db);
  const std::int64_t rows = store->count() - before;
  long implausible = 0;
  for (const StoredReport& r : store->list("", false, static_cast<int>(store->count())))
    implausible += !plausible(r.report);
  std::printf(
      "fuzz: %ld queries (seed %llu): %ld stored ok, %ld refused with 4xx, %ld broken request "
      "lines closed, %ld 5xx, %ld unanswered; server alive after: %s, stopped cleanly: %s\n",
      queries, static_cast<unsigned long long>(seed), ok.load(), refused.load(), closed.load(),
      errors.load(), unanswered.load(), alive ? "yes" : "no", stopped ? "yes" : "no");
  std::printf(
      "fuzz: %lld rows stored for %ld ok answers; %ld stored rows a report could not carry%s%s\n",
      static_cast<long long>(rows), ok.load(), implausible,
      firstError.empty() ? "" : "; first fault: ", firstError.c_str());
  return alive && stopped && errors == 0 && unanswered == 0 && rows == ok && implausible == 0 ? 0
                                                                                              : 1;
}

}  // namespace scores::bench
