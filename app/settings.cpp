// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings.h"

#include <cstdlib>
#include <fstream>
#include <system_error>

namespace mv {
namespace fs = std::filesystem;
namespace {

// A settings file is a few lines; anything far larger is not one.
constexpr std::size_t kMaxConfigBytes = 64 * 1024;

std::string_view trimmed(std::string_view s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (lower(s[i]) != prefix[i]) return false;
  return true;
}

bool digitsOnly(std::string_view s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

// Why `authority` (user@host:port) names no server; empty when it names one.
std::string authorityRefusal(std::string_view authority) {
  if (const size_t at = authority.rfind('@'); at != std::string_view::npos)
    authority.remove_prefix(at + 1);
  std::string_view host = authority, port;
  if (!authority.empty() && authority[0] == '[') {
    // An IPv6 address in brackets, then perhaps a port.
    const size_t close = authority.find(']');
    if (close == std::string_view::npos) return "its IPv6 address has no closing ']'";
    host = authority.substr(1, close - 1);
    const std::string_view rest = authority.substr(close + 1);
    if (!rest.empty() && rest[0] != ':') return "something follows its IPv6 address";
    if (!rest.empty()) port = rest.substr(1);
    if (!rest.empty() && port.empty()) return "its port is empty";
  } else if (const size_t colon = authority.find(':'); colon != std::string_view::npos) {
    host = authority.substr(0, colon);
    port = authority.substr(colon + 1);
    if (port.empty()) return "its port is empty";
  }
  if (host.empty()) return "it names no host";
  if (!port.empty()) {
    const int number =
        digitsOnly(port) && port.size() <= 5 ? std::atoi(std::string(port).c_str()) : 0;
    if (number < 1 || number > 65535) return "its port is not a number from 1 to 65535";
  }
  return {};
}

ConfigFile unreadable(const std::string& name, const std::string& why) {
  ConfigFile f;
  f.ignored = true;
  f.warnings.push_back(name + ": " + why + "; the file is ignored");
  return f;
}

// Reads the settings file at `path`; nullopt when there is none.
std::optional<ConfigFile> readConfig(const fs::path& path) {
  std::error_code ec;
  const fs::file_status st = fs::status(path, ec);
  if (st.type() == fs::file_type::not_found) return std::nullopt;
  const std::string name = path.string();
  if (ec) return unreadable(name, ec.message());
  if (st.type() != fs::file_type::regular) return unreadable(name, "it is not a file");
  std::ifstream in(path, std::ios::binary);
  if (!in) return unreadable(name, "it cannot be read");
  std::string text(kMaxConfigBytes + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad()) return unreadable(name, "it cannot be read");
  text.resize(static_cast<size_t>(in.gcount()));
  if (text.size() > kMaxConfigBytes) return unreadable(name, "it is larger than 64 KiB");
  return parseConfig(text, name);
}

}  // namespace

std::optional<Leaderboard> leaderboardValue(std::string_view value, std::string& why) {
  why.clear();
  if (value.size() == 3 && startsWithNoCase(value, "off")) return Leaderboard{true, {}};
  size_t schemeEnd = 0;
  if (startsWithNoCase(value, "http://"))
    schemeEnd = 7;
  else if (startsWithNoCase(value, "https://"))
    schemeEnd = 8;
  if (schemeEnd == 0) {
    why = "the leaderboard must be 'off' or an address starting with http:// or https://";
    return std::nullopt;
  }
  for (const char c : value) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u >= 0x7F) {
      why = "the leaderboard's address holds a space, a control or a non-ASCII character";
      return std::nullopt;
    }
    if (c == '?' || c == '#') {
      why = "the leaderboard's address may not hold '?' or '#'";
      return std::nullopt;
    }
  }
  const std::string_view rest = value.substr(schemeEnd);
  if (const std::string bad = authorityRefusal(rest.substr(0, rest.find('/'))); !bad.empty()) {
    why = "the leaderboard's address is not usable: " + bad;
    return std::nullopt;
  }
  return Leaderboard{false, std::string(value)};
}

ConfigFile parseConfig(std::string_view text, const std::string& name) {
  ConfigFile f;
  int number = 0;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = trimmed(line);
    if (line.empty() || line[0] == '#') continue;
    const std::string where = name + ":" + std::to_string(number) + ": ";
    auto refuse = [&](const std::string& why) {
      f.leaderboard.reset();
      f.ignored = true;
      f.warnings.push_back(where + why + "; the file is ignored");
      return f;
    };
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) return refuse("expected 'key = value'");
    const std::string_view key = trimmed(line.substr(0, eq));
    const std::string_view value = trimmed(line.substr(eq + 1));
    if (key.empty()) return refuse("no key before '='");
    if (key != "leaderboard") {
      f.warnings.push_back(where + "unknown setting '" + std::string(key) + "' is skipped");
      continue;
    }
    std::string why;
    const auto board = leaderboardValue(value, why);
    if (!board) return refuse(why);
    f.leaderboard = board;  // a later line wins
  }
  return f;
}

fs::path userConfigFile(const char* xdgConfigHome, const char* home) {
  if (xdgConfigHome && xdgConfigHome[0] == '/')
    return fs::path(xdgConfigHome) / "morvane" / "morvane.conf";
  if (home && home[0] == '/') return fs::path(home) / ".config" / "morvane" / "morvane.conf";
  return {};
}

LeaderboardChoice chooseLeaderboard(const char* env, const std::vector<fs::path>& files) {
  LeaderboardChoice choice;
  if (env && *env) {
    std::string why;
    if (const auto board = leaderboardValue(env, why)) {
      choice.leaderboard = *board;
      return choice;
    }
    choice.warnings.push_back("MORVANE_SCORE_URL: " + why + "; it is ignored");
  }
  for (const fs::path& path : files) {
    if (path.empty()) continue;
    const std::optional<ConfigFile> file = readConfig(path);
    if (!file) continue;
    choice.warnings.insert(choice.warnings.end(), file->warnings.begin(), file->warnings.end());
    if (file->leaderboard) {
      choice.leaderboard = *file->leaderboard;
      return choice;
    }
  }
  return choice;
}

}  // namespace mv
