// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/options.h"

#include <charconv>

namespace scores {

namespace {

bool wholeNumber(const std::string& text, int min, int max, int& out) {
  int v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || v < min || v > max) return false;
  out = v;
  return true;
}

bool listenAddress(const std::string& text, Options& o) {
  const auto colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) return false;
  std::string host = text.substr(0, colon);
  if (host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
  if (host.empty() || !wholeNumber(text.substr(colon + 1), 0, 65535, o.port)) return false;
  o.host = host;
  return true;
}

}  // namespace

bool parseOptions(const std::vector<std::string>& args, Options& o, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& flag = args[i];
    if (i + 1 >= args.size()) {
      error = "unknown or incomplete option " + flag;
      return false;
    }
    const std::string& value = args[++i];
    bool ok = true;
    if (flag == "--listen") {
      ok = listenAddress(value, o);
    } else if (flag == "--db") {
      ok = !value.empty();
      o.db = value;
    } else if (flag == "--rate") {
      ok = wholeNumber(value, 0, 1000000, o.reportsPerMinute);
    } else if (flag == "--rate-all") {
      ok = wholeNumber(value, 0, 100000000, o.reportsPerMinuteInAll);
    } else if (flag == "--threads") {
      ok = wholeNumber(value, 1, 1024, o.threads);
    } else if (flag == "--max-connections") {
      ok = wholeNumber(value, 1, 1000000, o.maxConnections);
    } else if (flag == "--max-per-address") {
      ok = wholeNumber(value, 0, 1000000, o.perAddress);
    } else if (flag == "--timeout") {
      ok = wholeNumber(value, 1, 3600, o.timeout);
    } else if (flag == "--deny-words") {
      ok = !value.empty();
      o.denyWords = value;
    } else if (flag == "--grace") {
      ok = wholeNumber(value, 0, 3600, o.grace);
    } else {
      error = "unknown option " + flag;
      return false;
    }
    if (!ok) {
      error = "bad value for " + flag + ": " + value;
      return false;
    }
  }
  return true;
}

}  // namespace scores
