// SPDX-License-Identifier: GPL-3.0-or-later
// What the server answers, apart from HTTP itself: reports in, leaderboard out.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "server/name_filter.h"
#include "server/report.h"
#include "server/store.h"

namespace scores {

// One answer. The body is shared, so a cached page goes to many clients without a copy each.
struct Reply {
  Reply() : Reply(200, "text/plain; charset=utf-8", "") {}
  Reply(int status, std::string contentType, std::string body)
      : status(status),
        contentType(std::move(contentType)),
        content(std::make_shared<const std::string>(std::move(body))) {}
  const std::string& body() const { return *content; }

  int status;
  std::string contentType;
  std::shared_ptr<const std::string> content;
};

// "YYYY-MM-DDTHH:MM:SSZ" in UTC.
std::string utcTime(std::chrono::system_clock::time_point t);

struct ServiceLimits {
  int perAddress = 20;  // reports one client key may send in a minute; 0 for no limit
  int inAll = 600;      // reports stored in a minute from all clients together; 0 for no limit
  std::chrono::milliseconds pageCache{1000};  // how long a built page and JSON are served
};

class ScoreService {
 public:
  // `storeTrouble` hears what went wrong when the store fails (the client hears only "store
  // unavailable").
  ScoreService(Store& store, ServiceLimits limits,
               std::function<void(const std::string&)> storeTrouble = nullptr)
      : store_(store), limits_(limits), storeTrouble_(std::move(storeTrouble)) {}

  // One report from `address`: "ok" once it is stored, 400 with the reason for a bad report,
  // 429 over the client's share of the minute or over the minute's reports in all, 503 when the
  // store fails. Only "ok" stores.
  Reply report(std::string_view query, const std::string& address,
               std::chrono::system_clock::time_point now);
  // Names with a word of `filter` are answered 400 "name not allowed" from now on; nullptr lets
  // every name through. Safe while reports are served.
  void setNameFilter(std::shared_ptr<const NameFilter> filter);

  // What report() would answer to a good or a bad report, storing and counting nothing (HEAD).
  Reply checkReport(std::string_view query);
  Reply page();
  Reply json();

 private:
  struct Built {
    Reply page, json;
  };
  std::shared_ptr<const Built> leaderboard();
  Reply unavailable(const StoreError& e);
  // Why the parsed report is refused before anything is stored: "" when it is not.
  std::string refusal(const ParsedReport& parsed);

  Store& store_;
  ServiceLimits limits_;
  std::function<void(const std::string&)> storeTrouble_;
  std::mutex filterMutex_;
  std::shared_ptr<const NameFilter> filter_;

  // The page and JSON of the last read of the store, and when it was made. One caller at a time
  // rebuilds it; the others wait for that one rather than reading the store too.
  std::mutex cacheMutex_;
  std::condition_variable cacheBuilt_;
  bool building_ = false;
  std::uint64_t builds_ = 0;  // builds ended, well or not
  std::string buildError_;
  std::shared_ptr<const Built> cache_;
  std::chrono::steady_clock::time_point cacheTime_;
  std::int64_t cacheModeration_ = 0;  // the store's moderation counter as the copy was read
};

}  // namespace scores
