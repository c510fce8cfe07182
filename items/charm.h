// The Spider Charm: 4 x 4 cells into which the sixteen Morvane Rune Pieces are placed. With
// every piece in its own cell the Morvane is put together and the celebration starts.
#pragma once

#include "items/cells.h"

namespace mv {

struct Game;

// The charm's cells. Any item may lie here; the Spider Charm itself is kept on a right click
// rather than thrown away, since with its panel closed nothing could reach it again.
CellGrid charmcells();

// Runs the open charm panel for one frame: the completion test, then its cells.
void spiderinven(Game& g);

}  // namespace mv
