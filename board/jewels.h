// Items that spiders find and leave lying on the play screen until the player picks them up.
#pragma once

#include <array>
#include <string>

#include "items/grids.h"

namespace mv {

struct Game;

// An item lying on the board: the item record, where it lies and its glow.
struct BoardItem : Item {
  int x = 0, y = 0;   // screen position; the picture is drawn from (x - 5, y - 5)
  bool glow = false;  // the glow behind the item, drawn when details are on
};

inline constexpr int kBoardItemSlots = 20;

// Slots 1..20; slot 0 is never used.
using BoardItems = std::array<BoardItem, kBoardItemSlots + 1>;

// The sixteen Morvane Rune Pieces are kinds 25..40, handed out in that order.
inline constexpr int kFirstRunePiece = 25, kRunePieces = 16;

// Puts up to `count` items into free board-item slots near (x, y). `kind` 0 gives random jewels,
// 1..4 jewels of that colour, and 5..8 (a spider grown by a Grow Rune) one pearl or rune piece.
void spawngem(Game& g, int count, int x, int y, int kind);

}  // namespace mv
