// SPDX-License-Identifier: GPL-3.0-or-later
#include "board/deal.h"

#include <algorithm>

#include "board/runs.h"
#include "board/spiders.h"
#include "board/tiles.h"
#include "state/game.h"

namespace mv {

int freshTileColour(Game& g) {
  int kind = g.random(1, 5);
  if (g.difficultyOn && g.random(0, 4) > 2) kind = g.random(1, 4);
  return kind;
}

void removeReadyRuns(Game& g, TileBoard& b, int cols, int rows) {
  for (int r = 1; r <= rows; ++r)
    for (int c = 1; c <= cols; ++c) b.tileConverted[c][r] = 0;
  removeRuns(
      cols, rows, [&](int c, int r) -> int& { return b.tileKind[c][r]; },
      [&] { return freshTileColour(g); });
}

namespace {

// Deals a cols x rows board resting from (originX, originY) with no ready-made run.
void dealBoard(Game& g, TileBoard& b, int cols, int rows, int originX, int originY) {
  for (int r = 1; r <= rows; ++r) {
    for (int c = 1; c <= cols; ++c) {
      b.tileKind[c][r] = freshTileColour(g);
      b.tileX[c][r] = TileBoard::restX(originX, c);
      b.tileY[c][r] = TileBoard::restY(originY, r);
    }
  }
  removeReadyRuns(g, b, cols, rows);
}

}  // namespace

void settiles(Game& g) {
  g.tiles.first.clearCells(20);
  g.tiles.second.clearCells(20);
  g.clearedCount = 0;
  dealBoard(g, g.tiles.first, g.boardCols, g.boardRows, kFirstBoard.originX, kFirstBoard.originY);
  g.tiles.board2Converted = 0;
  dealBoard(g, g.tiles.second, g.board2Cols, g.board2Rows, kSecondBoard.originX,
            kSecondBoard.originY);
}

int spawn(Game& g, int slot, int colour) {
  Spider& s = g.spiders[slot];
  s.spiderSize = 30.0;
  s.spiderLife = g.random(175, 674);
  s.spiderGrowTo = g.random(30, 59);
  s.spiderGemCooldown = g.random(50, 204);
  const int number = colour > 0 ? colour : g.random(1, 4);
  s.spiderColour = colourLetter(number);
  s.spiderSymbol = number;
  s.spiderFrame = g.random(1, 5);
  return s.spiderFrame;
}

}  // namespace mv
