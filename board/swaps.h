// SPDX-License-Identifier: GPL-3.0-or-later
// The select-and-swap rules that every tile grid shares (the tile boards, the falling tiles and
// the round puzzle): what a click on a tile does to the selection, and the settled frame that
// pays a cascade and sends back a swap that made no run. Each grid keeps its own names for the
// selected tile and the swap (column and row, or position and ring) and moves its own tiles; it
// hands those in.
#pragma once

#include "board/progress.h"
#include "state/game.h"

namespace mv {

// A Lost Stone (images 13..16) carried onto a tile gives the tile its colour and leaves the hand;
// any other carried item stays on the cursor.
void dropLostStone(Game& g, int& tileColour);

// A left click on tile (a, b), after the grid has handled its bonus tile: the click sound, the
// hint panel closed, the selection state counted on (past 2 it resets), a carried item dropped on
// the tile (which resets the selection too); then the tile becomes the selection, deselects
// itself, becomes the selection in place of a tile that is not its neighbour, or swaps with its
// neighbour through `startSwap`.
template <typename Grid, typename Neighbour, typename StartSwap>
void clickTile(Game& g, Grid& grid, int Grid::*selectedA, int Grid::*selectedB, int a, int b,
               int& tileColour, Neighbour isNeighbour, StartSwap startSwap) {
  g.playIfOn(11);
  if (g.hintIndex > 0 && g.hintFade > 254) g.hintIndex = 0;
  if (++grid.selectState > 2) grid.selectState = 12;
  if (g.heldImage > 0) {
    grid.selectState = 12;
    dropLostStone(g, tileColour);
  }
  if (grid.selectState == 1) {
    grid.*selectedA = a;
    grid.*selectedB = b;
  } else if (grid.selectState == 2) {
    if (a == grid.*selectedA && b == grid.*selectedB) {
      grid.selectState = 12;
    } else if (!isNeighbour(grid.*selectedA, grid.*selectedB)) {
      grid.*selectedA = a;
      grid.*selectedB = b;
      grid.selectState = 1;
    } else {
      startSwap();
    }
  }
}

// A settled frame: the cascade bonus is paid; a swap that made no run (no run this frame, the
// swap check down to 1, a swap on record in `swapA`) flies back through `undoSwap` with the wrong
// sound; then the match flag and the swap check count down.
template <typename Grid, typename UndoSwap>
void settleSwaps(Game& g, Grid& grid, int Grid::*swapA, UndoSwap undoSwap) {
  cascadeBonus(g, grid.cascadeFrames);
  if (grid.matchFlag == 0) grid.cascadeFrames = 0;
  if (grid.matchFlag == 0 && grid.swapCheck == 1 && grid.*swapA > 0) {
    g.playIfOn(12);
    grid.selectState = 10;
    undoSwap();
    grid.swapCheck = 0;
    grid.*swapA = 0;
  }
  if (grid.matchFlag > 0) --grid.matchFlag;
  if (grid.swapCheck > 0) --grid.swapCheck;
}

}  // namespace mv
