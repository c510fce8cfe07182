// SPDX-License-Identifier: GPL-3.0-or-later
// The mechanism shared by the inventory and the Spider Charm: a grid of item cells with the fit
// test, drawing, the information lines at the cursor, right-click uses, drop and swap, and
// pick-up. The two grids differ only in the settings of CellGrid.
#pragma once

#include "state/items.h"

namespace mv {

struct Game;

struct CellGrid {
  int cols = 0, rows = 0;
  int left = 0, top = 0;      // screen top-left of cell (1, 1); cells are 23 pixels apart
  bool columnsFirst = false;  // visiting order: column by column, or row by row
  InventoryCell& (*cellAt)(Game&, int c, int r) = nullptr;
  // Run on every cell before its clicks: four rune pieces laid out as a square become a rune.
  void (*assemble)(Game&, int c, int r) = nullptr;
  // A right click on the Spider Charm opens or closes its panel (in the inventory); elsewhere
  // the charm is kept, like a Morvane Rune Piece.
  bool charmToggles = false;
  // A right click throws a Morvane Rune Piece away only above this level.
  int keepRunePiecesTo = 0;
  // The Spider Charm may be dropped here (not into its own cells).
  bool takesCharm = true;
};

inline constexpr int kCellPitch = 23, kCellBox = 24;

enum class Fit { Fits, Blocked, AtEdge };

// Whether an item of the given width and height (0 or 1) can lie in cell (c, r): no neighbour's
// two-by-two item covers the cell, and the cells it would cover are free and inside the grid.
Fit fits(Game& g, const CellGrid& grid, int c, int r, int width, int height);

// Screen top-left of cell (c, r).
int cellX(const CellGrid& grid, int c);
int cellY(const CellGrid& grid, int r);

// Runs every cell once in the grid's visiting order and returns the cells its items fill (1 for
// a one-cell item, 4 for a two-by-two one; dissolving cells do not count).
int visitcells(Game& g, const CellGrid& grid);

// The carried item.
Item helditem(const Game& g);
void hold(Game& g, const Item& item);
void emptyhand(Game& g);

}  // namespace mv
