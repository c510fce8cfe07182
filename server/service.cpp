// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/service.h"

#include <ctime>

#include "server/page.h"
#include "server/rate_limit.h"

namespace scores {

namespace {

Reply plain(int status, std::string body) {
  return {status, "text/plain; charset=utf-8", std::move(body)};
}

// The key under which all stored reports of a minute are counted; no address reads like it.
constexpr const char* kAllClients = "*";

}  // namespace

std::string utcTime(std::chrono::system_clock::time_point t) {
  const std::time_t secs = std::chrono::system_clock::to_time_t(t);
  std::tm tm{};
  gmtime_r(&secs, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return buf;
}

Reply ScoreService::unavailable(const StoreError& e) {
  if (storeTrouble_) storeTrouble_(e.what());
  return plain(503, "store unavailable");
}

Reply ScoreService::report(std::string_view query, const std::string& address,
                           std::chrono::system_clock::time_point now) {
  const auto minute =
      std::chrono::duration_cast<std::chrono::minutes>(now.time_since_epoch()).count();
  try {
    // Bad reports use up the client's share too, so flooding with them gains nothing.
    if (limits_.perAddress > 0 &&
        store_.countInMinute(rateKey(address), minute) > limits_.perAddress)
      return plain(429, "too many reports from this address; try again in a minute");
    const ParsedReport parsed = parseReport(query);
    if (const std::string why = refusal(parsed); !why.empty()) return plain(400, why);
    // However many addresses send them, no more than this is stored in a minute.
    if (limits_.inAll > 0 && store_.countInMinute(kAllClients, minute) > limits_.inAll)
      return plain(429, "the leaderboard takes no more reports this minute; try again later");
    store_.add(parsed.report, utcTime(now), address);
  } catch (const StoreError& e) {
    return unavailable(e);
  }
  return plain(200, "ok");
}

Reply ScoreService::checkReport(std::string_view query) {
  const std::string why = refusal(parseReport(query));
  return why.empty() ? plain(200, "ok") : plain(400, why);
}

void ScoreService::setNameFilter(std::shared_ptr<const NameFilter> filter) {
  std::lock_guard lock(filterMutex_);
  filter_ = std::move(filter);
}

std::string ScoreService::refusal(const ParsedReport& parsed) {
  if (!parsed.ok) return parsed.reason;
  std::shared_ptr<const NameFilter> filter;
  {
    std::lock_guard lock(filterMutex_);
    filter = filter_;
  }
  if (filter && !filter->allows(parsed.report.name)) return "name not allowed";
  return {};
}

std::shared_ptr<const ScoreService::Built> ScoreService::leaderboard() {
  // A hide or unhide, from any process, shows at the next view: the copy is of a moderation
  // counter's value, read on every view.
  const std::int64_t moderation = store_.moderation();
  std::unique_lock lock(cacheMutex_);
  const std::uint64_t seen = builds_;
  for (;;) {
    if (cache_ && cacheModeration_ >= moderation &&
        std::chrono::steady_clock::now() - cacheTime_ < limits_.pageCache)
      return cache_;
    // A build that ended while this caller waited and left nothing fresh failed: its failure is
    // this caller's too, rather than a wait for one more try of its own.
    if (builds_ != seen) throw StoreError(buildError_);
    if (!building_) break;
    cacheBuilt_.wait(lock);
  }
  building_ = true;
  lock.unlock();
  std::shared_ptr<const Built> built;
  std::int64_t builtModeration = 0;
  try {
    builtModeration = store_.moderation();
    const Leaderboard board = readLeaderboard(store_);
    built =
        std::make_shared<const Built>(Built{{200, "text/html; charset=utf-8", renderPage(board)},
                                            {200, "application/json", renderJson(board)}});
  } catch (const StoreError& e) {
    lock.lock();
    building_ = false;
    ++builds_;
    buildError_ = e.what();
    cacheBuilt_.notify_all();
    throw;
  } catch (...) {
    lock.lock();
    building_ = false;
    ++builds_;
    buildError_ = "the leaderboard could not be built";
    cacheBuilt_.notify_all();
    throw;
  }
  lock.lock();
  building_ = false;
  ++builds_;
  cache_ = built;
  cacheModeration_ = builtModeration;
  cacheTime_ = std::chrono::steady_clock::now();
  cacheBuilt_.notify_all();
  return built;
}

Reply ScoreService::page() {
  try {
    return leaderboard()->page;
  } catch (const StoreError& e) {
    return unavailable(e);
  }
}

Reply ScoreService::json() {
  try {
    return leaderboard()->json;
  } catch (const StoreError& e) {
    return unavailable(e);
  }
}

}  // namespace scores
