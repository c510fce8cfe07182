// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/score_report.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "app/outbox.h"
#include "common/report.h"

namespace mv {

std::string percentEncode(std::string_view value) {
  // libcurl keeps the unreserved characters and encodes every other byte as %XX.
  char* escaped = curl_easy_escape(nullptr, value.data(), static_cast<int>(value.size()));
  if (!escaped) return {};
  std::string out(escaped);
  curl_free(escaped);
  return out;
}

namespace {

std::string withoutTrailingSlashes(std::string_view base) {
  std::string url(base);
  while (!url.empty() && url.back() == '/') url.pop_back();
  return url;
}

}  // namespace

std::string reportTarget(std::string_view playerName, int level, int score) {
  std::string target(report::kPath);
  auto field = [&](char separator, std::string_view key, const std::string& value) {
    target += separator;
    target += key;
    target += '=';
    target += percentEncode(value);
  };
  field('?', report::kActionKey, std::string(report::kAdd));
  field('&', report::kNameKey, std::string(playerName) + " " + std::string(report::kVersion));
  field('&', report::kLevelKey, std::to_string(level));
  field('&', report::kScoreKey, std::to_string(score));
  return target;
}

std::string reportUrl(std::string_view base, std::string_view target) {
  return withoutTrailingSlashes(base) + std::string(target);
}

std::string scoreUrl(std::string_view base, std::string_view playerName, int level, int score) {
  return reportUrl(base, reportTarget(playerName, level, score));
}

std::string leaderboardUrl(std::string_view base) {
  return withoutTrailingSlashes(base) + "/";
}

namespace {

size_t discardReply(char*, size_t size, size_t count, void*) {
  return size * count;
}

// The network library's global set-up is not safe to race, so it happens here, once.
bool networkReady() {
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return ready;
}

}  // namespace

long fetchStatus(const std::string& url, long capMs, const std::atomic<bool>* stop) {
  if (!networkReady()) return 0;
  CURL* curl = curl_easy_init();
  CURLM* multi = curl_multi_init();
  if (!curl || !multi) {
    if (curl) curl_easy_cleanup(curl);
    if (multi) curl_multi_cleanup(multi);
    return 0;
  }
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, capMs);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, capMs);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);  // timeouts must not rely on signals in a thread
  // A leaderboard that moved to https or to another path answers with a redirect.
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 3L);
  // Giving up must not wait for a name lookup that is still running.
  curl_easy_setopt(curl, CURLOPT_QUICK_EXIT, 1L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, discardReply);
  const std::string agent = "Morvane/" + std::string(report::kVersion);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, agent.c_str());
  curl_multi_add_handle(multi, curl);

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(capMs);
  int running = 1;
  while (curl_multi_perform(multi, &running) == CURLM_OK && running) {
    if (stop && *stop) break;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) break;
    curl_multi_poll(multi, nullptr, 0, static_cast<int>(std::min<long long>(left, 50)), nullptr);
  }
  long status = 0;
  int queued = 0;
  while (CURLMsg* msg = curl_multi_info_read(multi, &queued))
    if (msg->msg == CURLMSG_DONE && msg->data.result == CURLE_OK)
      curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  curl_multi_remove_handle(multi, curl);
  curl_easy_cleanup(curl);
  curl_multi_cleanup(multi);
  return status;
}

ScoreReports::ScoreReports(Leaderboard where, std::filesystem::path outboxFolder)
    : where_(std::move(where)), outboxFolder_(std::move(outboxFolder)) {}

ScoreReports::~ScoreReports() {
  stop_ = true;
  waitForKept();
  wait();
}

void ScoreReports::deliverKept(long capMs) {
  if (where_.off || outboxFolder_.empty() || delivery_.joinable()) return;
  delivery_ = std::thread([this, capMs] {
    Outbox outbox(outboxFolder_);
    delivered_ = outbox.deliver(
        [&](const std::string& target) {
          return fetchStatus(reportUrl(where_.base, target), capMs, &stop_);
        },
        stop_);
  });
}

int ScoreReports::waitForKept() {
  if (delivery_.joinable()) delivery_.join();
  return delivered_;
}

void ScoreReports::send(const std::string& playerName, int level, int score, long capMs) {
  if (where_.off) return;
  wait();
  exit_ = std::thread([this, target = reportTarget(playerName, level, score), capMs] {
    if (settles(fetchStatus(reportUrl(where_.base, target), capMs))) return;
    if (outboxFolder_.empty()) return;
    if (!Outbox(outboxFolder_).keep(target))
      std::fprintf(stderr, "morvane: the score report got no answer and could not be kept\n");
  });
}

void ScoreReports::wait() {
  if (exit_.joinable()) exit_.join();
}

std::string ScoreReports::site() const {
  return where_.off ? std::string(kHomePage) : leaderboardUrl(where_.base);
}

}  // namespace mv
