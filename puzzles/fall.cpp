// SPDX-License-Identifier: GPL-3.0-or-later
// The falling-tiles puzzle: the tile board's frame on a 10 x 15 grid, with the rise and the row
// shift run between the frame start and the scan.
#include "puzzles/fall.h"

#include "board/deal.h"
#include "state/game.h"

namespace mv {

void makefallpuzzle(Game& g) {
  g.boardCols = kFallCols;
  g.boardRows = kFallRows;
  g.tileGoal = kFallGoal;
  g.boardOffsetX = g.boardOffsetY = 0;
  g.driftDir = g.driftTimer = 0;
  // The stack starts at its lowest point, so it rises smoothly up to its first row shift.
  g.fall = FallPuzzle{};

  TileBoard& b = g.tiles.first;
  b.clearCells(kFallCols, kFallRows);
  g.clearedCount = 0;
  for (int r = 1; r <= kFallRows; ++r) {
    for (int c = 1; c <= kFallCols; ++c) {
      b.tileKind[c][r] = freshTileColour(g);
      if (r <= kFallRows - kFallTileRows) b.tileKind[c][r] = kAir;
      // Each cell starts moving onto its own rest position; the first frame lands it.
      b.tileX[c][r] = b.tileTargetX[c][r] = TileBoard::restX(kFallingTiles.originX, c);
      b.tileY[c][r] = b.tileTargetY[c][r] = TileBoard::restY(kFallingTiles.originY, r);
    }
  }
  removeReadyRuns(g, b, kFallCols, kFallRows);
}

namespace {

bool holdsTile(int kind) {
  return kind > 0 && kind < kEmpty;
}

// A tile still in the top row when the stack moves up calls lightning down its column: every
// cell of the column bursts, and a spider dies.
void strike(Game& g, TileBoard& b, int c) {
  g.quakeTimerA = 30;
  g.quakeX = b.tileX[c][1];
  g.quakeY = b.tileY[c][1] - 290;
  for (int r = 1; r <= kFallRows; ++r) b.tileBlast[c][r] = 32;
  g.scareArmed = true;
}

// Every tile moves up a row and a new row enters at the bottom. Only kinds move: converted flags,
// bursts, moves and positions stay with their cells, and the tile in the top row is gone.
void shiftRows(Game& g, TileBoard& b) {
  g.boardOffsetY = 0;
  g.tilesNearTop = false;
  for (int r = 1; r <= kFallRows; ++r) {
    for (int c = 1; c <= kFallCols; ++c) {
      if (r == 3 && holdsTile(b.tileKind[c][r])) g.tilesNearTop = true;
      if (r == 1 && holdsTile(b.tileKind[c][r])) strike(g, b, c);
      b.tileKind[c][r] = r == kFallRows ? freshTileColour(g) : b.tileKind[c][r + 1];
    }
  }
}

// The stack rises a pixel every ten frames; after 27 pixels it drops back by one row's pitch as
// its contents move up a row, so it seems to rise steadily.
void riseAndShift(Game& g, TileBoard& b) {
  FallPuzzle& f = g.fall;
  ++f.shiftTick;
  if (++f.riseTick >= kRiseFrames) {
    f.riseTick = 0;
    --g.boardOffsetY;
  }
  if (f.shiftTick < kShiftFrames) return;
  shiftRows(g, b);
  f.shiftTick = 0;
}

}  // namespace

void fallpuzzle(Game& g) {
  TileBoard& b = g.tiles.first;
  const BoardCounts n = firstBoardCounts(g);
  boardFrameStart(g, b, n, kFallingTiles);
  riseAndShift(g, b);
  boardScan(g, b, n, kFallingTiles);
}

}  // namespace mv
