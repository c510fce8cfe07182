// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/score_report.h"

#include <curl/curl.h>

#include <cstdlib>

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

std::string scoreUrl(std::string_view base, std::string_view playerName, int level, int score) {
  std::string url = withoutTrailingSlashes(base);
  auto field = [&](char separator, std::string_view key, const std::string& value) {
    url += separator;
    url += key;
    url += '=';
    url += percentEncode(value);
  };
  url += report::kPath;
  field('?', report::kActionKey, std::string(report::kAdd));
  field('&', report::kNameKey, std::string(playerName) + " " + std::string(report::kVersion));
  field('&', report::kLevelKey, std::to_string(level));
  field('&', report::kScoreKey, std::to_string(score));
  return url;
}

std::string leaderboardUrl(std::string_view base) {
  return withoutTrailingSlashes(base) + "/";
}

std::string scoreBase() {
  const char* env = std::getenv("MORVANE_SCORE_URL");
  return env && *env ? std::string(env) : std::string(kScoreBase);
}

namespace {

size_t discardReply(char*, size_t size, size_t count, void*) {
  return size * count;
}

void sendNow(const std::string& url, long capMs) {
  CURL* curl = curl_easy_init();
  if (!curl) return;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, capMs);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, capMs);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);  // timeouts must not rely on signals in a thread
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, discardReply);
  const std::string agent = "Morvane/" + std::string(report::kVersion);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, agent.c_str());
  curl_easy_perform(curl);  // the reply and any failure are of no use to the game
  curl_easy_cleanup(curl);
}

}  // namespace

void ScoreReport::start(std::string url, long capMs) {
  // The network library's global set-up is not safe to race, so it happens here, once.
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  if (!ready) return;
  wait();
  worker_ = std::thread(sendNow, std::move(url), capMs);
}

void ScoreReport::wait() {
  if (worker_.joinable()) worker_.join();
}

}  // namespace mv
