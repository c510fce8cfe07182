// SPDX-License-Identifier: GPL-3.0-or-later
#include "items/inventory.h"

#include "state/game.h"

namespace mv {

namespace {

constexpr int kDissolveFrames = 19;
constexpr int kAllCells = kInventoryCols * kInventoryRows;

InventoryCell& inventorycell(Game& g, int c, int r) {
  return g.inventoryGrid[c][r];
}

// A rune and its four quarters: top-left, top-right, bottom-left, bottom-right pieces.
struct Rune {
  int firstPiece, kind;
  const char* name;
  int base, spread;  // value base + random 0..spread
  const char *before, *after;
};

const Rune kRunes[] = {
    {5, 9, "Grow Rune", 20, 9, "Drop on Spider to Grow ", "% Bigger"},
    {17, 21, "Freeze Rune", 100, 99, "Drop on Bonus Timer to FREEZE for ", " Seconds"},
};

// A cell taken up into a rune; one still dissolving hands the dissolve on to the next cell.
void takeup(Game& g, InventoryCell& cell) {
  if (cell.dissolving) g.dissolveSoundLatch = false;
  cell = InventoryCell{};
}

void assemblerune(Game& g, int c, int r) {
  auto& grid = g.inventoryGrid;
  for (const Rune& rune : kRunes) {
    const int k = rune.firstPiece;
    if (grid[c][r].kind != k || grid[c + 1][r].kind != k + 1 || grid[c][r + 1].kind != k + 2 ||
        grid[c + 1][r + 1].kind != k + 3)
      continue;
    InventoryCell& cell = grid[c][r];
    cell.kind = rune.kind;
    cell.name = rune.name;
    cell.value = rune.base + g.random(0, rune.spread);
    cell.text = rune.before + std::to_string(cell.value) + rune.after;
    cell.width = cell.height = 1;
    takeup(g, grid[c + 1][r]);
    takeup(g, grid[c][r + 1]);
    takeup(g, grid[c + 1][r + 1]);
    g.score += cell.value;
    g.jewelsConverted += 1;
    g.levelHint = "$" + std::to_string(cell.value);
    const CellGrid cells = inventorycells(g);
    g.levelHintX = cellX(cells, c);
    g.levelHintY = cellY(cells, r);
  }
}

bool keptwhenfull(const std::string& name) {
  return name == "Book of Jewels" || name == "Spider Charm" || name == "Morvane Rune Piece";
}

// A full inventory cashes in: every cell but the tools and the Morvane pieces counts down, the
// free and covered ones too.
void startdissolve(Game& g) {
  for (int c = 1; c <= kInventoryCols; ++c)
    for (int r = 1; r <= kInventoryRows; ++r) {
      InventoryCell& cell = g.inventoryGrid[c][r];
      if (keptwhenfull(cell.name)) continue;
      if (cell.name.empty()) cell.name = "[empty]";
      cell.dissolveCount = kDissolveFrames;
    }
}

// The first item stored on level 1 after the first cell is taken shows what the inventory is.
void inventoryhint(Game& g) {
  if (g.inventoryHinted || g.level != 1 || g.inventoryGrid[1][1].kind <= 0) return;
  g.inventoryHinted = true;
  g.inventoryOpen = true;
  g.hintIndex = 11;
  g.hintFade = 0;
}

// The first free cell, column by column, where an item of this size fits; none when full.
InventoryCell* freecell(Game& g, int width, int height) {
  const CellGrid grid = inventorycells(g);
  for (int c = 1; c <= kInventoryCols; ++c)
    for (int r = 1; r <= kInventoryRows; ++r) {
      InventoryCell& cell = g.inventoryGrid[c][r];
      if (cell.name.empty() && fits(g, grid, c, r, width, height) == Fit::Fits) return &cell;
    }
  return nullptr;
}

}  // namespace

CellGrid inventorycells(const Game& g) {
  CellGrid grid;
  grid.cols = kInventoryCols;
  grid.rows = kInventoryRows;
  grid.left = g.inventoryPanelX + 43;
  grid.top = g.inventoryPanelY + 26;
  grid.columnsFirst = true;
  grid.cellAt = inventorycell;
  grid.assemble = assemblerune;
  grid.charmToggles = true;
  grid.keepRunePiecesTo = 16;
  return grid;
}

void inventory(Game& g) {
  for (std::string& line : g.infoLine1) line.clear();
  if (visitcells(g, inventorycells(g)) >= kAllCells) startdissolve(g);
}

void inventoryadd(Game& g) {
  g.jewelsFound += 1;
  inventoryhint(g);
  if (g.heldImage == 0) return;
  InventoryCell* cell = freecell(g, g.heldWidth, g.heldHeight);
  if (cell == nullptr) {
    g.inventoryFullFlag = true;
    return;
  }
  *cell = InventoryCell{};
  static_cast<Item&>(*cell) = helditem(g);
  emptyhand(g);
  g.playIfOn(6);
}

bool inventoryroom(Game& g, const Item& item) {
  return freecell(g, item.width, item.height) != nullptr;
}

bool inventorystore(Game& g, const Item& item) {
  const Item carried = helditem(g);
  hold(g, item);
  g.inventoryFullFlag = false;
  inventoryadd(g);
  const bool stored = !g.inventoryFullFlag;
  hold(g, carried);
  return stored;
}

int checkinventory(const Game& g, const std::string& name) {
  int count = g.heldImage > 0 && g.heldName == name ? 1 : 0;
  for (int c = 1; c <= kInventoryCols; ++c)
    for (int r = 1; r <= kInventoryRows; ++r)
      if (g.inventoryGrid[c][r].name == name) ++count;
  return count;
}

void placebook(Game& g) {
  InventoryCell& cell = g.inventoryGrid[5][5];
  cell = InventoryCell{};
  static_cast<Item&>(cell) = Item{"Book of Jewels", "[ RIGHT-Click to Read ]", 12, 0, 1, 1};
}

}  // namespace mv
