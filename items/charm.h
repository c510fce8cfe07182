// SPDX-License-Identifier: GPL-3.0-or-later
// The Spider Charm: 4 x 4 cells into which the sixteen Morvane Rune Pieces are placed. With
// every piece in its own cell the Morvane is put together and the celebration starts.
#pragma once

#include "items/cells.h"

namespace mv {

struct Game;

// The charm's cells. Any item may lie here but the Spider Charm itself: its panel opens only
// from the charm in the inventory, so once closed nothing could reach it again. For the same
// reason a charm found there (in an older save) is kept on a right click, not thrown away.
CellGrid charmcells();

// The level-2 gift, once per player (charmGiven). The charm goes into the inventory and the
// item on the cursor stays there. With no room for it the charm is carried, an item carried
// already being stored to make way; with room for neither, nothing is taken and the gift waits.
void givecharm(Game& g);

// Runs the open charm panel for one frame: the completion test, then its cells.
void spiderinven(Game& g);

}  // namespace mv
