// The player's save file, the player's name with ".dat" appended, in the working directory:
// level, level kind, background, score, hint progress, rune pieces handed out, the carried item,
// then the 112 inventory cells and the 16 Spider Charm cells, 908 lines in all.
#pragma once

#include <string>

#include "common/names.h"

namespace mv {

struct Game;

inline constexpr int kSaveFileLines = 908;

// The highest level a save file can bring back. Play can't get near it: even at one level every
// two seconds, ten million levels take over seven months without a break. A higher level read
// from a file comes back as this one, so nothing that counts with the level can overflow.
inline constexpr int kMaxLevel = 10'000'000;
// The largest score either way, and the largest item value either way, a save file can bring
// back; both lie far beyond what play hands out, and leave room to count on without overflow.
inline constexpr int kMaxScore = 1'000'000'000;
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
