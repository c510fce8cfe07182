// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/board.h"

namespace mv {

void TileBoard::clearCells(int cols, int rows) {
  for (int c = 0; c <= cols; ++c) {
    for (int r = 0; r <= rows; ++r) {
      tileMoving[c][r] = 0;
      tileKind[c][r] = 0;
      tileTargetX[c][r] = 0;
      tileTargetY[c][r] = 0;
      tileBlast[c][r] = 0;
    }
  }
}

}  // namespace mv
