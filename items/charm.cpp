// SPDX-License-Identifier: GPL-3.0-or-later
#include "items/charm.h"

#include <climits>

#include "items/inventory.h"
#include "state/game.h"

namespace mv {

namespace {

constexpr int kCelebrationFrames = 500;

InventoryCell& charmcell(Game& g, int c, int r) {
  return g.charmGrid[c][r];
}

// Piece 25 + n belongs in column 1 + n mod 4, row 1 + n div 4.
bool complete(const Game& g) {
  for (int r = 1; r <= kCharmRows; ++r)
    for (int c = 1; c <= kCharmCols; ++c)
      if (g.charmGrid[c][r].kind != kFirstRunePiece + (c - 1) + kCharmCols * (r - 1)) return false;
  return true;
}

}  // namespace

CellGrid charmcells() {
  CellGrid grid;
  grid.cols = kCharmCols;
  grid.rows = kCharmRows;
  grid.left = 384;
  grid.top = 277;
  grid.columnsFirst = false;
  grid.cellAt = charmcell;
  grid.keepRunePiecesTo = INT_MAX;
  grid.takesCharm = false;
  return grid;
}

void givecharm(Game& g) {
  const Item charm{"Spider Charm", "[Right-Click to Open]", 24, 0, 1, 1};
  if (g.heldImage > 0 && !inventoryroom(g, charm)) {
    if (!inventoryroom(g, helditem(g))) return;
    inventoryadd(g);
  }
  g.charmGiven = true;
  if (!inventorystore(g, charm)) hold(g, charm);
}

void spiderinven(Game& g) {
  if (complete(g)) {
    g.runePiecesGiven = 0;
    g.megaBonusTimer = kCelebrationFrames;
    for (auto& column : g.charmGrid)
      for (InventoryCell& cell : column) cell = InventoryCell{};
  }
  visitcells(g, charmcells());
}

}  // namespace mv
