// SPDX-License-Identifier: GPL-3.0-or-later
// Smoke puffs that rise over the level map and linger on the main menu.
#pragma once

#include "state/board.h"

namespace mv {

struct Game;

// Starts one puff near (x, y) in the first free slot; nothing when every slot is in use.
void makesmoke(Game& g, int x, int y);
// Ages, moves and (unless the main menu is open) draws every live puff: it fades in over its
// first 100 frames, rises, drifts right, swells and fades out over its last 100.
void smoke(Game& g);

}  // namespace mv
