// SPDX-License-Identifier: GPL-3.0-or-later
// Items that spiders find and leave lying on the play screen until the player picks them up.
#pragma once

#include <array>
#include <string>

#include "state/board.h"

namespace mv {

struct Game;

// Puts up to `count` items into free board-item slots near (x, y). `kind` 0 gives random jewels,
// 1..4 jewels of that colour, and 5..8 (a spider grown by a Grow Rune) one pearl or rune piece.
void spawngem(Game& g, int count, int x, int y, int kind);

}  // namespace mv
