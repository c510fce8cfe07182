// SPDX-License-Identifier: GPL-3.0-or-later
// The spiders: twenty slots of the player's living stock, the hatching routine and the per-frame
// update that moves, kills, counts and draws them.
#pragma once

#include <string>

#include "state/board.h"

namespace mv {

struct Game;

// The colour letter of colour code 1..4, and back (0 for anything else).
std::string colourLetter(int colour);
int colourOfLetter(const std::string& letter);

// Hatches up to `count` spiders of colour 1..4 near (x, y) in the empty slots 1..maxSpiders.
void spawnspider(Game& g, int x, int y, int colour, int count);

// One frame of spider slot i (1..20), run for empty slots too: wander, steer, grow, die when
// marked, move, turn and animate; a live spider is then counted, may be picked to die, may take a
// carried Grow Rune, and is drawn.
void updatespider(Game& g, int i);

}  // namespace mv
