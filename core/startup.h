// SPDX-License-Identifier: GPL-3.0-or-later
// Creating the game when the program starts, and leaving it.
#pragma once

#include <cstdint>
#include <string>

namespace mv {

struct Game;

// Prepares the game state when the game window is created: defaults, the loaded player and
// options with their repairs, and the current level. `seed` seeds the random generator.
void FormCreate(Game& g, uint64_t seed);

// The thank-you message shown at exit, naming the leaderboard page at `site`.
std::string thankYouText(const std::string& playerName, const std::string& site);

// Ends the game: score report, black screen, a pause, the thank-you message, then the windows
// close. Reached only from the main menu, which has already written the player's file.
void exitgame(Game& g);

}  // namespace mv
