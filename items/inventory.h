// SPDX-License-Identifier: GPL-3.0-or-later
// The inventory: 8 x 14 cells at the right edge of the screen. Four rune pieces laid out as a
// square become a rune; when every cell is filled, the ordinary items dissolve one by one into
// the score.
#pragma once

#include <string>

#include "items/cells.h"

namespace mv {

struct Game;

// The inventory's cells, where the panel stands this frame.
CellGrid inventorycells(const Game& g);

// Runs the open panel for one frame: its cells' clicks, drawing and information lines.
void inventory(Game& g);

// Puts the carried item into the first cell where it fits, column by column; sets
// inventoryFullFlag when it fits nowhere (the item then stays carried).
void inventoryadd(Game& g);

// Whether a free cell takes this item.
bool inventoryroom(Game& g, const Item& item);

// Stores an item through inventoryadd while the carried item stays on the cursor. Returns false
// when no cell takes it: the item is then nowhere, and the caller keeps it.
bool inventorystore(Game& g, const Item& item);

// How many of the player's items at hand bear this name: inventory cells and the carried item.
int checkinventory(const Game& g, const std::string& name);

// Lays the Book of Jewels, every new player's first item, into column 5, row 5.
void placebook(Game& g);

}  // namespace mv
