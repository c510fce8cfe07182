// SPDX-License-Identifier: GPL-3.0-or-later
// The level-complete tally: counts the seconds left into the bonus, shows the level's numbers and
// on a click starts the next level of the cycle.
#pragma once

namespace mv {

struct Game;

// One frame of the tally, while levelComplete is set and no menu covers it.
void tally(Game& g);

// Moves the player on to the next level of the cycle and starts it (with the intro on levels 2
// and 3).
void nextlevel(Game& g);

}  // namespace mv
