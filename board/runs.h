// SPDX-License-Identifier: GPL-3.0-or-later
// Dealing without ready-made runs, shared by the tile boards and the ring puzzles.
#pragma once

namespace mv {

// Redraws every cell that starts three of one colour across or down, row by row, until a whole
// pass over the cols x rows grid finds none. `colour(c, r)` gives a cell's colour by reference
// (cells past the far edges read 0); `fresh()` draws a new colour. Kinds above 5 (converted
// tiles) never count as a run.
template <typename ColourAt, typename Fresh>
void removeRuns(int cols, int rows, ColourAt colour, Fresh fresh) {
  bool changed = true;
  while (changed) {
    changed = false;
    for (int r = 1; r <= rows; ++r) {
      for (int c = 1; c <= cols; ++c) {
        int& k = colour(c, r);
        if (k < 6 && k == colour(c + 1, r) && k == colour(c + 2, r)) {
          k = fresh();
          changed = true;
        }
        if (k < 6 && k == colour(c, r + 1) && k == colour(c, r + 2)) {
          k = fresh();
          changed = true;
        }
      }
    }
  }
}

}  // namespace mv
