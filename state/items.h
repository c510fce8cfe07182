// SPDX-License-Identifier: GPL-3.0-or-later
// Items and the two grids that hold them: the 8 x 14 inventory and the 4 x 4 Spider Charm.
#pragma once

#include <array>
#include <string>

namespace mv {

// One item: an inventory cell, a charm cell, a board item or the carried item. A 2 x 2 item is
// stored in its top-left cell; the three cells it covers keep an empty name.
struct Item {
  std::string name;  // empty: no item
  std::string text;  // the description line
  int kind = 0;      // gemlist picture, which also identifies the item
  int value = 0;
  int width = 0;  // cells beyond the first, 0 or 1
  int height = 0;
};

struct InventoryCell : Item {
  int dissolveCount = 0;  // 0..19; 0 = not dissolving
  bool dissolving = false;
};

inline constexpr int kInventoryCols = 8, kInventoryRows = 14;
inline constexpr int kCharmCols = 4, kCharmRows = 4;

// Cells are addressed [column][row] from 1; the grids are padded by one cell on every side (and
// two beyond the far edges) so the fit test can read its neighbours without bounds checks.
using InventoryGrid = std::array<std::array<InventoryCell, kInventoryRows + 3>, kInventoryCols + 3>;
using CharmGrid = std::array<std::array<InventoryCell, kCharmRows + 3>, kCharmCols + 3>;

}  // namespace mv
