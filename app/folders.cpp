// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/folders.h"

#include <stdlib.h>
#include <unistd.h>

#include <system_error>

#include "profiles/players.h"

namespace mv {
namespace fs = std::filesystem;
namespace {

bool absolutePath(const char* p) {
  return p && p[0] == '/';
}

// Makes `dir` (and its parents) the working directory, with a player list in it, and checks that
// files can be written there. Empty when all went well, else the reason.
std::string settleIn(const fs::path& dir) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (!ec) fs::current_path(dir, ec);
  if (ec) return ec.message();
  if (access(".", W_OK) != 0 || !seedgamenames()) return "files cannot be written there";
  return {};
}

// A new folder only this user can enter, for a session whose files are not to be kept.
fs::path privateTempFolder() {
  std::error_code ec;
  const fs::path tmp = fs::temp_directory_path(ec);
  std::string pattern = ((ec ? fs::path("/tmp") : tmp) / "morvane-XXXXXX").string();
  return mkdtemp(pattern.data()) ? fs::path(pattern) : fs::path();
}

}  // namespace

fs::path catalogueFolder(const char* override, const fs::path& programDir,
                         const fs::path& installed, const fs::path& builtIn) {
  std::error_code ec;
  // Absolute, as the working directory changes before the catalogue is read whole.
  if (override && *override) return fs::absolute(override, ec);
  const fs::path beside = (programDir / installed).lexically_normal();
  if (!programDir.empty() && fs::is_regular_file(beside / "manifest.txt", ec)) return beside;
  return builtIn;
}

fs::path userDataFolder(const char* xdgDataHome, const char* home) {
  if (absolutePath(xdgDataHome)) return fs::path(xdgDataHome) / "morvane";
  if (absolutePath(home)) return fs::path(home) / ".local" / "share" / "morvane";
  return {};
}

DataFolder enterDataFolder(const char* xdgDataHome, const char* home) {
  std::error_code ec;
  const fs::path start = fs::current_path(ec);
  const fs::path user = userDataFolder(xdgDataHome, home);
  const std::string problem = user.empty() ? "no home folder is set" : settleIn(user);
  if (problem.empty()) return {user, {}};

  const std::string cannot = "Morvane cannot keep its player files in " +
                             (user.empty() ? std::string("your data folder") : user.string()) +
                             ": " + problem + ".\n";
  const fs::path temp = privateTempFolder();
  if (!temp.empty() && settleIn(temp).empty())
    return {temp, cannot + "You can play, but the progress of this session will not be kept."};
  // Not even a temporary folder: stay where the program was started.
  fs::current_path(start, ec);
  return {start, cannot +
                     "No temporary folder could be made either, so this session keeps its "
                     "files in " +
                     start.string() + "."};
}

}  // namespace mv
