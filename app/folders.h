// SPDX-License-Identifier: GPL-3.0-or-later
// Where the game finds its files: the picture and sound catalogue delivered with it, and the
// user's data folder that holds the player list and the save files.
#pragma once

#include <filesystem>
#include <string>

namespace mv {

// The catalogue folder: `override` (MORVANE_ASSETS) when set, made absolute; else the catalogue
// installed with the program, `installed` taken from the program's folder (../share/games/morvane
// for /usr/games/morvane), when it has a manifest; else `builtIn`, the source tree's assets folder
// of a build run where it was built.
std::filesystem::path catalogueFolder(const char* override, const std::filesystem::path& programDir,
                                      const std::filesystem::path& installed,
                                      const std::filesystem::path& builtIn);

// The game's folder in the user's data folder, after the XDG rules: $XDG_DATA_HOME/morvane when
// that is an absolute path, else $HOME/.local/share/morvane. Empty when HOME is no absolute path.
std::filesystem::path userDataFolder(const char* xdgDataHome, const char* home);

// Where this session keeps the player files.
struct DataFolder {
  std::filesystem::path path;  // the working directory chosen
  std::string warning;         // for the player when the files are not kept as usual; else empty
};

// Makes the user's data folder and its parents, seeds it with the delivered player list when it
// has none, and makes it the working directory. When it cannot be made or written, a private
// temporary folder, seeded the same way, serves this session, and the warning says that progress
// will not be kept.
DataFolder enterDataFolder(const char* xdgDataHome, const char* home);

}  // namespace mv
