// SPDX-License-Identifier: GPL-3.0-or-later
// Short-lived marks on the play screen: the blood splats of dead spiders and the floating texts
// (score changes and level hints). Each pool is started by its spawn routine and aged and drawn
// once per play frame.
#pragma once

#include <string>

#include "state/board.h"

namespace mv {

struct Game;

// Starts splat `slot` at the requested position (bloodRequestX, bloodRequestY), clearing the
// request.
void spawnblood(Game& g, int slot);
// Starts floating text `slot` with levelHint at (levelHintX, levelHintY), clearing levelHint.
void spawntext(Game& g, int slot);

// Play frame: hands a pending blood request to the first splat slot faded below 50, then grows,
// fades and draws every splat.
void drawblood(Game& g);
// Play frame: hands a pending levelHint to the first free text slot, then moves every live text
// up and to the left, ages it and writes it.
void drawfloattexts(Game& g);

}  // namespace mv
