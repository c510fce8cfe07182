// SPDX-License-Identifier: GPL-3.0-or-later
#include "items/cells.h"

#include <string>

#include "state/game.h"

namespace mv {

namespace {

constexpr int kDropSound = 6, kPickSound = 7, kCharmSound = 9, kDissolveSound = 10;
constexpr int kDissolveFrames = 19;


bool holds(const Item& it) {
  return it.kind > 0;
}

bool overItem(const Game& g, const CellGrid& grid, int c, int r, const Item& it) {
  const int x = cellX(grid, c), y = cellY(grid, r);
  return inside(g.mouseX, x, x + kCellBox * (it.width + 1)) &&
         inside(g.mouseY, y, y + kCellBox * (it.height + 1));
}

// Right click: the Book of Jewels opens, the Spider Charm opens or closes its panel, anything
// else is thrown away, Morvane Rune Pieces only late in the game. A cell that is dissolving
// keeps its item until it has paid out.
void rightclick(Game& g, const CellGrid& grid, InventoryCell& cell) {
  g.mouseButton = kNoClick;
  if (cell.dissolveCount > 0) {
    g.sound.beep();
  } else if (cell.name == "Book of Jewels") {
    g.bookPage = 1;
    g.soundLatch = false;  // the book's opening sound plays again
  } else if (cell.name == "Spider Charm") {
    if (!grid.charmToggles) return;
    g.playIfOn(kCharmSound);
    g.charmOpen = !g.charmOpen;
  } else if (cell.name != "Morvane Rune Piece" || g.level > grid.keepRunePiecesTo) {
    static_cast<Item&>(cell) = Item{};
  }
}

// Drop of the carried item: into a free cell, or swapped with the item in the cell. The Spider
// Charm is refused where the grid does not take it.
void drop(Game& g, const CellGrid& grid, int c, int r, InventoryCell& cell) {
  if (!grid.takesCharm && g.heldName == "Spider Charm") {
    g.sound.beep();
    g.mouseButton = kNoClick;
    return;
  }
  const Fit fit = fits(g, grid, c, r, g.heldWidth, g.heldHeight);
  if (fit != Fit::Fits) {
    if (fit == Fit::AtEdge) g.sound.beep();
    return;
  }
  g.mouseButton = kNoClick;
  if (cell.dissolveCount > 0) {
    g.sound.beep();
    return;
  }
  g.playIfOn(kDropSound);
  const Item lying = cell;
  static_cast<Item&>(cell) = helditem(g);
  if (lying.name.empty()) {
    emptyhand(g);
  } else {
    hold(g, lying);
    g.playIfOn(kPickSound);
  }
}

// One frame of a cell counted down for cashing in. Cells wait at the full count until no other
// cell is dissolving, so they go one at a time. Returns false once the cell has paid out.
bool dissolve(Game& g, const CellGrid& grid, int c, int r, InventoryCell& cell, int x, int y) {
  if (cell.dissolveCount == kDissolveFrames && !g.dissolveSoundLatch) {
    g.playIfOn(kDissolveSound);
    cell.dissolving = true;
    g.dissolveSoundLatch = true;
  }
  if (!cell.dissolving) {
    g.screen.drawImage(g.image(ImageList::gemlist, cell.kind), x, y, 0);
    return true;
  }
  g.screen.drawImage(g.image(ImageList::explist, cell.dissolveCount), x + 2, y + 2, 0);
  if (--cell.dissolveCount > 0) return true;
  g.dissolveSoundLatch = false;
  const int value = cell.value;
  cell = InventoryCell{};
  g.score += value;
  g.jewelsConverted += 1;
  g.levelHint = "$" + std::to_string(value);
  g.levelHintX = cellX(grid, c);
  g.levelHintY = cellY(grid, r);
  return false;
}

// The item under the cursor: its lines beside the cursor, and a left click picks it up.
void hover(Game& g, InventoryCell& cell) {
  g.infoLine1[0] = cell.name;
  g.infoLine1[1] = cell.text;
  g.infoLine1[2] = cell.value > 0 && cell.kind != 9 ? "$" + std::to_string(cell.value) : "";
  if (g.mouseButton != kPanelLeft) return;
  if (cell.dissolveCount > 0) {
    g.sound.beep();
    g.mouseButton = kNoClick;
  } else if (g.heldImage == 0) {
    g.playIfOn(kPickSound);
    hold(g, cell);
    static_cast<Item&>(cell) = Item{};
    g.mouseButton = kNoClick;
  }
}

int visitcell(Game& g, const CellGrid& grid, int c, int r) {
  InventoryCell& cell = grid.cellAt(g, c, r);
  int dx = 0, dy = 0;
  if (cell.kind == 9 || cell.dissolveCount == kDissolveFrames) {
    dx = g.random(0, 2);
    dy = g.random(0, 2);
  }
  if (grid.assemble) grid.assemble(g, c, r);
  if (overItem(g, grid, c, r, cell)) {
    if (g.mouseButton == kPanelRight) rightclick(g, grid, cell);
    if (g.mouseButton == kPanelLeft && g.heldImage > 0) drop(g, grid, c, r, cell);
  }
  if (cell.name.empty()) return 0;
  const int x = cellX(grid, c) + dx, y = cellY(grid, r) + dy;
  int filled = 0;
  if (cell.dissolveCount > 0) {
    if (!dissolve(g, grid, c, r, cell, x, y)) return 0;
  } else {
    g.screen.drawImage(g.image(ImageList::gemlist, cell.kind), x, y, 0);
    filled = (cell.width + 1) * (cell.height + 1);
  }
  if (overItem(g, grid, c, r, cell)) hover(g, cell);
  return filled;
}

}  // namespace

int cellX(const CellGrid& grid, int c) {
  return grid.left + kCellPitch * (c - 1);
}

int cellY(const CellGrid& grid, int r) {
  return grid.top + kCellPitch * (r - 1);
}

Fit fits(Game& g, const CellGrid& grid, int c, int r, int width, int height) {
  auto at = [&](int cc, int rr) -> const InventoryCell& { return grid.cellAt(g, cc, rr); };
  // A two-by-two item would reach past the right or bottom edge.
  if ((width == 1 && c == grid.cols) || (height == 1 && r == grid.rows)) return Fit::AtEdge;
  // A neighbour's two-by-two item covers this cell.
  if (at(c - 1, r).width == 1 || at(c - 1, r - 1).width == 1 || at(c, r - 1).height == 1)
    return Fit::Blocked;
  // The cells the item would cover are taken, or covered by another two-by-two item.
  if (width == 1 && holds(at(c + 1, r))) return Fit::Blocked;
  if (height == 1 && (holds(at(c + 1, r + 1)) || holds(at(c, r + 1)) ||
                      at(c - 1, r + 1).width == 1 || at(c + 1, r - 1).height == 1))
    return Fit::Blocked;
  return Fit::Fits;
}

int visitcells(Game& g, const CellGrid& grid) {
  int filled = 0;
  const int outer = grid.columnsFirst ? grid.cols : grid.rows;
  const int inner = grid.columnsFirst ? grid.rows : grid.cols;
  for (int a = 1; a <= outer; ++a)
    for (int b = 1; b <= inner; ++b)
      filled += grid.columnsFirst ? visitcell(g, grid, a, b) : visitcell(g, grid, b, a);
  return filled;
}

Item helditem(const Game& g) {
  return Item{g.heldName, g.heldText, g.heldImage, g.heldValue, g.heldWidth, g.heldHeight};
}

void hold(Game& g, const Item& item) {
  g.heldImage = item.kind;
  g.heldName = item.name;
  g.heldText = item.text;
  g.heldValue = item.value;
  g.heldWidth = item.width;
  g.heldHeight = item.height;
}

void emptyhand(Game& g) {
  hold(g, Item{});
}

}  // namespace mv
