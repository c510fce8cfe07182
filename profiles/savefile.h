// SPDX-License-Identifier: GPL-3.0-or-later
// The player's save file, the player's name with ".dat" appended, in the working directory:
// level, level kind, background, score, hint progress, rune pieces handed out, the carried item,
// then the 112 inventory cells and the 16 Spider Charm cells, 908 lines in all.
#pragma once

#include <string>

#include "common/names.h"
#include "common/report.h"

namespace mv {

struct Game;

inline constexpr int kSaveFileLines = 908;

// The highest level and the largest score either way a save file can bring back are the game's
// own bounds, the ones its score report keeps to: a value beyond them comes back as the bound, so
// nothing that counts with it can overflow. The largest item value either way lies as far beyond
// what play hands out.
using report::kMaxLevel;
using report::kMaxScore;
inline constexpr int kMaxItemValue = 1'000'000;

// The name as it is, in UTF-8, with ".dat" appended.
std::string playerFileName(const std::string& name);

// Writes the whole file from the current state, replacing the earlier one only once the new one
// is complete. Nothing is written for a name that is not safe, nor over a file whose reading broke
// off in this run. False when nothing was written.
bool savegamedata(Game& g, const std::string& name);
// Whether the player has a save file that can be opened.
bool hasSaveFile(const std::string& name);
// Reads the file into the state value by value. A missing file or an unsafe name changes
// nothing; past the end of the file integers read 0 and texts empty; a line with no valid
// integer where one belongs, or a failed read, ends the reading there. Dissolving cells come back
// still. Values the game can't have written are brought into range: the level, score and item
// values to the limits above, hint progress outside 0..5 to 5 (done), rune pieces handed out
// outside 0..15 to 0, item widths and heights to 0 or 1, and an item whose kind has no picture
// leaves its cell (or the hand) free.
bool loadgamedata(Game& g, const std::string& name);

}  // namespace mv
