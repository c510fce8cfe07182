// Items that spiders find and leave lying on the play screen until the player picks them up.
#pragma once

#include <array>
#include <string>

namespace mv {

struct BoardItem {
  int kind = 0;  // gemlist picture; 0 = free slot
  std::string name, text;
  int value = 0;
  int width = 0, height = 0;  // inventory cells beyond the first, 0 or 1
  int x = 0, y = 0;           // screen position; the picture is drawn from (x - 5, y - 5)
  bool glow = false;          // the glow behind the item, drawn when details are on
};

inline constexpr int kBoardItemSlots = 20;

// Slots 1..20; slot 0 is never used.
using BoardItems = std::array<BoardItem, kBoardItemSlots + 1>;

}  // namespace mv
