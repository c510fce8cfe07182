// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/service.h"

#include <ctime>

#include "server/page.h"
#include "server/report.h"

namespace scores {

namespace {

Reply plain(int status, std::string body) {
  return {status, "text/plain; charset=utf-8", std::move(body)};
}

Reply storeFailed(const StoreError& e) {
  return plain(503, std::string("the score store is not available: ") + e.what());
}

}  // namespace

std::string utcTime(std::chrono::system_clock::time_point t) {
  const std::time_t secs = std::chrono::system_clock::to_time_t(t);
  std::tm tm{};
  gmtime_r(&secs, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return buf;
}

Reply ScoreService::report(std::string_view query, const std::string& address,
                           std::chrono::system_clock::time_point now) {
  const auto minute =
      std::chrono::duration_cast<std::chrono::minutes>(now.time_since_epoch()).count();
  if (!limit_.allow(address, minute))
    return plain(429, "too many reports from this address; try again in a minute");
  const ParsedReport parsed = parseReport(query);
  if (!parsed.ok) return plain(400, parsed.reason);
  try {
    store_.add(parsed.report, utcTime(now), address);
  } catch (const StoreError& e) {
    return storeFailed(e);
  }
  return plain(200, "ok");
}

Reply ScoreService::page() {
  try {
    return {200, "text/html; charset=utf-8", renderPage(readLeaderboard(store_))};
  } catch (const StoreError& e) {
    return storeFailed(e);
  }
}

Reply ScoreService::json() {
  try {
    return {200, "application/json", renderJson(readLeaderboard(store_))};
  } catch (const StoreError& e) {
    return storeFailed(e);
  }
}

}  // namespace scores
