// SPDX-License-Identifier: GPL-3.0-or-later
// The game's settings file, morvane.conf: where the score report goes at exit, or that none is
// sent. A line is `key = value`; '#' starts a comment line; blank lines are skipped. The only key
// is `leaderboard`, whose value is `off` or an http:// or https:// address.
//
// The user's file wins over the system's, and MORVANE_SCORE_URL over both. A file with a line
// that is no setting is ignored as a whole, with one line on stderr naming it; an unknown key is
// skipped with a warning. Nothing here ever stops the game from starting.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// Scheme, host and port of the score endpoint when nothing else is set: a leaderboard on this
// machine, where the morvane-scores package listens.
inline constexpr std::string_view kScoreBase = "http://127.0.0.1:8080";
// The game's home page, named in the thank-you message when no report is sent.
inline constexpr std::string_view kHomePage = "https://www.morvane.example/";
// The settings file every user of this machine shares; the user's own is found by
// userConfigFile().
inline constexpr std::string_view kSystemConfigFile = "/etc/xdg/morvane/morvane.conf";

// Where the score report goes.
struct Leaderboard {
  bool off = false;              // no report is sent
  std::string base{kScoreBase};  // the endpoint, when on
  bool operator==(const Leaderboard&) const = default;
};

// Reads one `leaderboard` value: `off` (any case) or an http:// or https:// address with a host
// and no query, fragment, space or control character. Empty `why` when it is one.
std::optional<Leaderboard> leaderboardValue(std::string_view value, std::string& why);

// What one settings file says.
struct ConfigFile {
  std::optional<Leaderboard> leaderboard;  // when the file sets it
  bool ignored = false;                    // a line is no setting: the file counts for nothing
  std::vector<std::string> warnings;       // "NAME:LINE: why", for stderr
};

// Reads the text of the file called `name` (used in warnings only).
ConfigFile parseConfig(std::string_view text, const std::string& name);

// The user's settings file after the XDG rules: $XDG_CONFIG_HOME/morvane/morvane.conf when that
// is an absolute path, else $HOME/.config/morvane/morvane.conf. Empty when HOME is no absolute
// path either.
std::filesystem::path userConfigFile(const char* xdgConfigHome, const char* home);

// The setting in force, and what to tell on stderr about how it was found.
struct LeaderboardChoice {
  Leaderboard leaderboard;
  std::vector<std::string> warnings;
};

// MORVANE_SCORE_URL (`env`) when set and valid; else the first of `files` that exists and sets
// `leaderboard`; else the built-in default. Missing files are passed over without a word.
LeaderboardChoice chooseLeaderboard(const char* env,
                                    const std::vector<std::filesystem::path>& files);

}  // namespace mv
