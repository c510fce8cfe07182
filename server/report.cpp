// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/report.h"

#include <array>
#include <optional>

#include "common/names.h"
#include "common/report.h"

namespace scores {

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A decimal number of at most `maxDigits` digits, no sign.
std::optional<std::int64_t> decimal(std::string_view text, size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

bool validVersion(std::string_view v) {
  if (v.empty() || v.size() > mv::report::kMaxVersionLength) return false;
  for (const char c : v)
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.' ||
          c == '-' || c == '_'))
      return false;
  return true;
}

enum Key { kAction, kName, kLevel, kScore, kKeyCount };
constexpr std::array<std::string_view, kKeyCount> kKeys = {
    mv::report::kActionKey, mv::report::kNameKey, mv::report::kLevelKey, mv::report::kScoreKey};

ParsedReport refuse(std::string reason) {
  return {false, {}, std::move(reason)};
}

std::string checkLevel(std::string_view text, int& level) {
  const auto v = decimal(text, 18);
  if (!v) return "level is not a number";
  if (*v < 1 || *v > mv::report::kMaxLevel)
    return "level is outside 1.." + std::to_string(mv::report::kMaxLevel);
  level = static_cast<int>(*v);
  return {};
}

// A score either way: dead spiders cost points, so a total may be below zero.
std::string checkScore(std::string_view text, std::int64_t& score) {
  const bool negative = !text.empty() && text[0] == '-';
  const auto v = decimal(negative ? text.substr(1) : text, 18);
  if (!v) return "score is not a number";
  if (*v > mv::report::kMaxScore)
    return "score is beyond " + std::string(negative ? "-" : "") +
           std::to_string(mv::report::kMaxScore);
  score = negative ? -*v : *v;
  return {};
}

std::string checkPlayer(std::string_view text, Report& r) {
  const auto space = text.rfind(' ');
  if (space == std::string_view::npos) return "playername has no version behind a space";
  if (!validVersion(text.substr(space + 1))) return "version is not a version number";
  r.version = text.substr(space + 1);
  r.name = text.substr(0, space);
  return mv::nameRefusal(r.name);
}

}  // namespace

bool percentDecode(std::string_view text, std::string& out) {
  out.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    const int hi = hexValue(text[i + 1]);
    const int lo = hexValue(text[i + 2]);
    if (hi < 0 || lo < 0) return false;
    out += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return true;
}

ParsedReport parseReport(std::string_view query) {
  std::array<std::optional<std::string>, kKeyCount> values;
  if (query.empty()) return refuse("the report is empty");
  for (size_t start = 0; start <= query.size();) {
    const size_t end = std::min(query.find('&', start), query.size());
    const std::string_view field = query.substr(start, end - start);
    start = end + 1;
    const size_t eq = field.find('=');
    if (eq == std::string_view::npos) return refuse("a field has no '='");
    std::string key, value;
    if (!percentDecode(field.substr(0, eq), key) || !percentDecode(field.substr(eq + 1), value))
      return refuse("bad percent-encoding");
    size_t k = 0;
    while (k < kKeyCount && kKeys[k] != key) ++k;
    if (k == kKeyCount) return refuse("unknown key");
    if (values[k]) return refuse("key " + key + " is given twice");
    values[k] = std::move(value);
  }
  for (size_t k = 0; k < kKeyCount; ++k)
    if (!values[k]) return refuse("key " + std::string(kKeys[k]) + " is missing");
  if (*values[kAction] != mv::report::kAdd) return refuse("action2 is not add");
  ParsedReport parsed{true, {}, {}};
  for (std::string reason : {checkPlayer(*values[kName], parsed.report),
                             checkLevel(*values[kLevel], parsed.report.level),
                             checkScore(*values[kScore], parsed.report.score)})
    if (!reason.empty()) return refuse(std::move(reason));
  return parsed;
}

}  // namespace scores
