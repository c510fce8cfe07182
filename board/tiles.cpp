// SPDX-License-Identifier: GPL-3.0-or-later
// The tile board frame: one pass over the grid that finds runs, bursts and converts cells, refills
// and drops tiles, moves and swaps them, draws them and takes the player's clicks. Later cells see
// what earlier cells changed in the same frame, so the order of the steps is the game's behaviour.
#include "board/tiles.h"

#include <cstdlib>

#include "board/progress.h"
#include "board/spiders.h"
#include "board/swaps.h"
#include "state/game.h"

namespace mv {

BoardCounts firstBoardCounts(Game& g) {
  return {g.boardCols, g.boardRows, g.clearedCount, g.tileGoal};
}

BoardCounts secondBoardCounts(Game& g) {
  return {g.board2Cols, g.board2Rows, g.tiles.board2Converted, g.secondBoardCells};
}

namespace {

bool isColour(int kind) {
  return kind >= 1 && kind <= 5;
}

bool hasTarget(const TileBoard& b, int c, int r) {
  return b.tileTargetX[c][r] != 0 || b.tileTargetY[c][r] != 0;
}

void clearTarget(TileBoard& b, int c, int r) {
  b.tileTargetX[c][r] = 0;
  b.tileTargetY[c][r] = 0;
}

// Sends tile (c, r) to (tx, ty), carrying `kind` there; on arrival it jumps back home with it.
void startSwapMove(TileBoard& b, int c, int r, int tx, int ty, int kind) {
  b.tileTargetX[c][r] = tx;
  b.tileTargetY[c][r] = ty;
  b.tileSwapKind[c][r] = kind;
  b.tileHomeX[c][r] = b.tileX[c][r];
  b.tileHomeY[c][r] = b.tileY[c][r];
}

// The kind of a new tile dropping in from the spawn row. The easier game hands out fewer skulls
// while the spider stock is small.
int refillColour(Game& g) {
  int kind = g.random(1, 5);
  if (g.difficultyOn && g.random(0, 4) > 1 && g.liveSpiders < 12) kind = g.random(1, 4);
  return kind;
}

void settledFrame(Game& g, TileBoard& b, const BoardSettings& s) {
  settleSwaps(g, b, &TileBoard::swapColA, [&] {
    const int ca = b.swapColA, ra = b.swapRowA, cb = b.swapColB, rb = b.swapRowB;
    const int ax = b.tileX[ca][ra], ay = b.tileY[ca][ra];
    const int bx = b.tileX[cb][rb], by = b.tileY[cb][rb];
    const int ka = b.tileKind[ca][ra], kb = b.tileKind[cb][rb];
    startSwapMove(b, ca, ra, bx, s.undoToSavedY ? b.savedSwapY : by, kb);
    startSwapMove(b, cb, rb, ax, ay, ka);
  });
}

void driftAndScatter(Game& g, TileBoard& b, const BoardCounts& n) {
  if (g.driftTimer <= 0) return;
  if (g.scatterRequest && !b.wasBusy && b.selectState == 0 && b.scatterLeft == 0) {
    g.scatterRequest = false;
    b.scatterLeft = n.goal;
    g.boardOffsetX = g.random(0, 249);
    g.boardOffsetY = g.random(0, 249);
    for (int r = 1; r <= n.rows; ++r) {
      for (int c = 1; c <= n.cols; ++c) {
        b.tileTargetX[c][r] = b.tileX[c][r];
        b.tileTargetY[c][r] = b.tileY[c][r];
        b.tileX[c][r] = g.random(0, 749);
        b.tileY[c][r] = g.random(0, 549);
      }
    }
  }
  --g.driftTimer;
  if (g.driftTimer == 0 && g.driftDir != 0) {
    g.boardOffsetX += g.driftDir == 1 ? 1 : -1;
    g.driftTimer = 10;
  }
}

}  // namespace

void boardFrameStart(Game& g, TileBoard& b, const BoardCounts& n, const BoardSettings& s) {
  b.wasBusy = b.busy;
  b.busy = false;
  boardProgress(g, n.converted, n.goal);
  if (b.hintTimer == 0) b.hintTimer = 500;
  if (b.hintTimer > 0) --b.hintTimer;
  if (b.matchFlag == 2) ++b.cascadeFrames;
  if (b.selectState == 0 && !b.wasBusy) settledFrame(g, b, s);

  if (s.followsOffset) driftAndScatter(g, b, n);

  if (b.bonusTileTimer > 0) --b.bonusTileTimer;
  if (b.bonusTileTimer == 0) b.bonusTile = 0;
  if (g.frameDice == s.bonusDice && b.bonusTileTimer == 0) {
    b.bonusTile = g.random(1, n.goal);
    b.bonusTileTimer = 100;
  }

  pulse(b.pulseLevel, b.pulseDown);
}

namespace {

// The pass over one cell. Holds what the steps share so each reads as the rule it is.
class CellPass {
 public:
  CellPass(Game& g, TileBoard& b, const BoardCounts& n, const BoardSettings& s)
      : g(g),
        b(b),
        n(n),
        s(s),
        offX(s.followsOffset ? g.boardOffsetX : 0),
        offY(s.followsOffset ? g.boardOffsetY : 0) {}

  void visit(int col, int row) {
    c = col;
    r = row;
    count();
    if (isColour(b.tileKind[c][r]) && !b.tileMoving[c][r]) {
      if (b.hintTimer == 0) hintSearch();
      rowRun();
      columnRun();
    }
    refill();
    fall();
    scatterReturn();
    fallArrival();
    move();
    if (b.selectState == 12) {
      clearTarget(b, c, r);
      b.selectedCol = b.selectedRow = 0;
      b.selectState = 0;
    }
    shakeX = shakeY = 0;
    if (s.hintShake && b.tileHint[c][r] > 0) {
      --b.tileHint[c][r];
      shakeX = g.random(0, 2);
      shakeY = g.random(0, 2);
    }
    draw();
    if (c == b.selectedCol && r == b.selectedRow) frame();
    mouse();
  }

 private:
  int kind(int dc, int dr) const { return b.tileKind[c + dc][r + dr]; }
  bool moving(int dc, int dr) const { return b.tileMoving[c + dc][r + dr] != 0; }
  bool matches(int dc, int dr) const { return kind(dc, dr) == b.tileKind[c][r] && !moving(dc, dr); }
  void burst(int dc, int dr) {
    if (b.tileBlast[c + dc][r + dr] == 0) b.tileBlast[c + dc][r + dr] = 32;
  }
  int restScreenX() const { return offX + TileBoard::restX(s.originX, c); }
  int restScreenY() const { return offY + TileBoard::restY(s.originY, r); }

  void count() {
    if (b.tileConverted[c][r] == 1) ++n.converted;
    if (b.tileBlast[c][r] > 0) b.busy = true;
  }

  void hintSearch() {
    const int m = b.tileKind[c][r];
    auto shake = [&](int c1, int r1, int c2, int r2) {
      b.hintTimer = 500;
      b.tileHint[c + c1][r + r1] = 20;
      b.tileHint[c + c2][r + r2] = 20;
    };
    if (m == kind(1, 0) && m == kind(3, 0)) {
      shake(2, 0, 3, 0);
    } else if (m == kind(2, 0) && m == kind(3, 0)) {
      shake(0, 0, 1, 0);
    } else if (m == kind(2, 0) && m == kind(1, 1)) {
      shake(1, 0, 1, 1);
    } else if (m == kind(1, 1) && m == kind(-1, 1)) {
      shake(0, 0, 0, 1);
    }
  }

  void firstMatchHint() {
    if (g.hintStep == 1) {
      g.hintStep = 2;
      g.hintIndex = 2;
      g.hintFade = 0;
    }
  }

  void rowRun() {
    if (!matches(1, 0) || !matches(2, 0)) return;
    b.matchFlag = 2;
    for (int i = 0; i < 3; ++i) burst(i, 0);
    firstMatchHint();
    hatchFlags(1, 0);
  }

  void columnRun() {
    if (!matches(0, 1) || !matches(0, 2)) return;
    b.matchFlag = 2;
    for (int i = 0; i < 3; ++i) burst(0, i);
    // Down the board only a run of four counts as the first match.
    if (hatchFlags(0, 1)) firstMatchHint();
  }

  // Tiles four to six of a run along (dc, dr) burst and hatch; the first three hatch only when
  // the fourth matched. Returns whether it did.
  bool hatchFlags(int dc, int dr) {
    bool fourth = false;
    for (int i = 3; i <= 5 && matches(i * dc, i * dr); ++i) {
      burst(i * dc, i * dr);
      b.tileHatch[c + i * dc][r + i * dr] = 1;
      fourth = true;
    }
    for (int i = 0; i < 3; ++i) b.tileHatch[c + i * dc][r + i * dr] = fourth ? 1 : 0;
    return fourth;
  }

  void refill() {
    if (b.tileKind[c][1] == kEmpty && !b.tileMoving[c][1] && b.tileBlast[c][1] == 0 &&
        b.selectState < 3) {
      b.tileKind[c][0] = s.airRefill ? kAir : refillColour(g);
    }
  }

  void fall() {
    if (b.tileKind[c][r] != kEmpty || b.tileMoving[c][r] || b.tileBlast[c][r] != 0 ||
        b.selectState >= 3)
      return;
    b.tileKind[c][r] = b.tileKind[c][r - 1];
    b.tileTargetX[c][r] = b.tileX[c][r];
    b.tileTargetY[c][r] = b.tileY[c][r];
    b.tileMoving[c][r] = 1;
    b.tileY[c][r] = b.tileY[c][r - 1];
    b.tileKind[c][r - 1] = kEmpty;
    b.busy = true;
  }

  void scatterReturn() {
    if (b.scatterLeft > 0 && hasTarget(b, c, r) &&
        std::abs(b.tileTargetX[c][r] - b.tileX[c][r]) < 9 &&
        std::abs(b.tileTargetY[c][r] - b.tileY[c][r]) < 9 && b.selectState < 3) {
      b.tileX[c][r] = b.tileTargetX[c][r];
      b.tileY[c][r] = b.tileTargetY[c][r];
      clearTarget(b, c, r);
      b.tileMoving[c][r] = 0;
      b.busy = true;
      --b.scatterLeft;
    }
  }

  void fallArrival() {
    if (b.tileTargetY[c][r] > 0 && b.tileX[c][r] == b.tileTargetX[c][r] &&
        std::abs(b.tileTargetY[c][r] - b.tileY[c][r]) < 5 && b.selectState < 3) {
      b.tileY[c][r] = b.tileTargetY[c][r];
      clearTarget(b, c, r);
      b.tileMoving[c][r] = 0;
      b.busy = true;
    }
  }

  void move() {
    if (!hasTarget(b, c, r)) return;
    b.moveStep = 8;
    int& x = b.tileX[c][r];
    int& y = b.tileY[c][r];
    const int tx = b.tileTargetX[c][r], ty = b.tileTargetY[c][r];
    if (x > tx) x -= b.moveStep;
    if (x < tx) x += b.moveStep;
    if (y > ty) y -= b.moveStep;
    if (y < ty) y += b.moveStep;
    b.busy = true;
    b.tileMoving[c][r] = 1;
    if (std::abs(tx - x) < 5 && std::abs(ty - y) < 5 && b.selectState > 9) {
      b.tileKind[c][r] = b.tileSwapKind[c][r];
      x = b.tileHomeX[c][r];
      y = b.tileHomeY[c][r];
      clearTarget(b, c, r);
      b.tileSwapKind[c][r] = 0;
      b.tileMoving[c][r] = 0;
      ++b.selectState;
    }
  }

  // The picture of the tile in the cell: its colour, or the same sign on green once converted.
  int tileImage() const {
    const int k = b.tileKind[c][r];
    return (b.tileConverted[c][r] == 1 && k < 6) ? k + 5 : k;
  }

  void draw() {
    ++scanIndex;
    const int x = b.tileX[c][r] + offX + shakeX;
    const int y = b.tileY[c][r] + offY + shakeY;
    int& blast = b.tileBlast[c][r];
    if (blast == 0) {
      if (scanIndex == b.bonusTile && b.tileKind[c][r] != kAir) {
        g.screen.drawRotatedAlpha(g.image(ImageList::tilelist, 12), x, y, 25, 25, 0, 0, 0, 0,
                                  b.pulseLevel);
      } else {
        g.screen.drawImage(g.image(ImageList::tilelist, tileImage()), x, y, 0);
      }
      return;
    }
    if (blast > 19) {
      const int jolt = g.random(1, 3);
      g.screen.drawImage(g.image(ImageList::tilelist, tileImage()), x + jolt, y + jolt, 0);
    } else {
      g.screen.drawImage(g.image(ImageList::explist, blast), x, y, 0);
    }
    if (blast != 20) {
      --blast;
      return;
    }
    convert();
  }

  void convert() {
    b.tileBlast[c][r] = 5;
    b.hintTimer = 500;
    b.tileConverted[c][r] = 1;
    const int k = b.tileKind[c][r];
    if (k == kSkull && g.quakeTimerB == 0) g.scareArmed = true;
    g.playIfOn(10);
    g.score += 10;
    // Only a tile of a spider colour hatches; a cell whose tile fell away before it converted
    // has no colour to give.
    if (b.tileHatch[c][r] == 1 && k >= kYellow && k <= kPurple)
      spawnspider(g, b.tileX[c][r], b.tileY[c][r], k, 1);
    b.tileKind[c][r] = kEmpty;
    b.tileHatch[c][r] = 0;
  }

  void frame() {
    g.screen.drawImage(g.image(ImageList::tilelist, 0), restScreenX(), restScreenY(), 0);
  }

  void mouse() {
    const int rx = restScreenX(), ry = restScreenY();
    if (b.selectState >= 2 || g.mouseX <= rx || g.mouseX >= rx + kTilePitch || g.mouseY <= ry ||
        g.mouseY >= ry + kTilePitch || b.busy || b.wasBusy || b.tileMoving[c][r] ||
        b.tileBlast[c][r] != 0 || b.tileKind[c][r] >= 6)
      return;
    frame();
    if (g.mouseButton != kLeft) return;
    click();
    g.mouseButton = kNoClick;
  }

  void click() {
    if (scanIndex == b.bonusTile) bonusClick();
    clickTile(
        g, b, &TileBoard::selectedCol, &TileBoard::selectedRow, c, r, b.tileKind[c][r],
        [&](int c2, int r2) { return std::abs(c - c2) + std::abs(r - r2) == 1; },
        [&] { startSwap(); });
  }

  void bonusClick() {
    static constexpr int kCells[7][2] = {{0, 0},  {1, 0},   {1, 1}, {0, 1},
                                         {-1, 0}, {-1, -1}, {0, -1}};
    for (const auto& d : kCells) b.tileBlast[c + d[0]][r + d[1]] = 32;
    g.levelHint = "BONUS +100";
    g.levelHintX = restScreenX();
    g.levelHintY = restScreenY();
    g.quakeTimerB = 30;
    g.quakeX = restScreenX() + 10;
    g.quakeY = restScreenY() - 290;
    g.score += 100;
    b.bonusTile = 0;
    b.bonusTileTimer = 0;
    b.selectState = -1;
  }

  void startSwap() {
    const int cb = b.selectedCol, rb = b.selectedRow;
    b.swapCheck = 2;
    b.selectState = 10;
    b.savedSwapY = b.tileY[cb][rb];
    const int ax = b.tileX[c][r], ay = b.tileY[c][r];
    const int ka = b.tileKind[c][r];
    startSwapMove(b, cb, rb, ax, ay, ka);
    startSwapMove(b, c, r, b.tileX[cb][rb], b.tileY[cb][rb], b.tileKind[cb][rb]);
    b.swapColA = c;
    b.swapRowA = r;
    b.swapColB = cb;
    b.swapRowB = rb;
    b.tileMoving[c][r] = 1;
    b.tileMoving[cb][rb] = 1;
    b.busy = true;
  }

  Game& g;
  TileBoard& b;
  const BoardCounts& n;
  const BoardSettings& s;
  const int offX, offY;
  int c = 0, r = 0;
  int scanIndex = 0;
  int shakeX = 0, shakeY = 0;
};

}  // namespace

void boardScan(Game& g, TileBoard& b, const BoardCounts& n, const BoardSettings& s) {
  CellPass pass(g, b, n, s);
  for (int r = 1; r <= n.rows; ++r)
    for (int c = 1; c <= n.cols; ++c) pass.visit(c, r);
  if (s.followsOffset && g.driftDir >= 1) {
    if (g.boardOffsetX > 250) g.driftDir = 2;
    if (g.boardOffsetX < 1) g.driftDir = 1;
  }
}

void runTileBoard(Game& g, TileBoard& b, const BoardCounts& n, const BoardSettings& s) {
  boardFrameStart(g, b, n, s);
  boardScan(g, b, n, s);
}

void placetiles(Game& g) {
  runTileBoard(g, g.tiles.first, firstBoardCounts(g), kFirstBoard);
}

void placetiles2(Game& g) {
  runTileBoard(g, g.tiles.second, secondBoardCounts(g), kSecondBoard);
}

}  // namespace mv
