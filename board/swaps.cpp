// SPDX-License-Identifier: GPL-3.0-or-later
#include "board/swaps.h"

namespace mv {

void dropLostStone(Game& g, int& tileColour) {
  static constexpr int kStoneColour[4] = {kGreen, kRed, kPurple, kYellow};  // images 13..16
  if (g.heldImage < 13 || g.heldImage > 16) return;
  tileColour = kStoneColour[g.heldImage - 13];
  g.heldImage = 0;
  g.heldName.clear();
}

}  // namespace mv
