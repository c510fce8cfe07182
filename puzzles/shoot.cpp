// SPDX-License-Identifier: GPL-3.0-or-later
// The shooting puzzle: a wall of tiles hangs from the top of a 15 x 10 grid and a shooter below
// it fires one tile at a time straight up, to stick under the first tile it meets. Runs across
// or down burst and convert their slots, as on the round puzzle, whose mechanism this is.
#include <algorithm>

#include "board/runs.h"
#include "puzzles/ring.h"
#include "state/game.h"

namespace mv {
namespace {

constexpr int kCols = 15, kRows = 10, kWallRows = 3;
constexpr int kReadyY = 400;

int slotX(int c) {
  return 50 + 28 * c;
}
int slotY(int r) {
  return r == 0 ? 150 : 50 + 28 * r;
}

void reload(Game& g, RingPuzzle& p) {
  p.shotTimer = 0;
  p.shotY = kReadyY;
  p.shotColour = g.random(1, 4);
}

// The shooter follows the cursor while ready and fires on a click; a shot rises one pixel a step
// and is lost after 300 steps or above the top of the grid.
void shooter(Game& g, RingPuzzle& p) {
  if (p.shotTimer == 0 && g.mouseX > 50 && g.mouseX < 490) {
    p.shooterX = g.mouseX - 12;
    p.shotY = kReadyY;
  }
  g.screen.drawRotated(g.image(ImageList::roundtilelist, p.shotColour), p.shooterX, p.shotY, 25, 25,
                       0, 0, 0, 0);
  if (p.shotTimer == 0 && g.mouseX > p.shooterX - 2 && g.mouseX < p.shooterX + 27 &&
      g.mouseY > p.shotY - 2 && g.mouseY < p.shotY + 22) {
    g.itemTooltip = "       Click to FIRE";
    g.screen.drawImage(g.image(ImageList::roundtilelist, 0), p.shooterX, p.shotY, 0);
    if (g.mouseButton == kLeft) {
      g.playIfOn(10);
      p.shotTimer = 300;
    }
  }
  if (p.shotTimer > 0) {
    --p.shotY;
    --p.shotTimer;
    if (p.shotTimer == 0 || p.shotY < 50) reload(g, p);
  }
}

// The shot sticks under the first tile it reaches: the slot below takes its colour. A tile of
// the bottom row can be met only while it is still dropping into place; the shot then lands in
// that bottom slot, as it does under a column that is full to the bottom, and never below the
// grid.
void hit(Game& g, RingPuzzle& p, int c, int r) {
  const RoundSlot& t = p.at(c, r);
  if (p.shotTimer > 0 && t.colour >= 1 && t.colour <= 5 && t.x > p.shooterX - 13 &&
      t.x < p.shooterX + 17 && t.y > p.shotY - 10 && t.y < p.shotY) {
    p.at(c, std::min(r + 1, kRows)).colour = p.shotColour;
    reload(g, p);
  }
}

// Once per row, with the row's first slot, the shooter moves on; every slot tests the shot.
void shooterAndHit(Game& g, RingPuzzle& p, int c, int r) {
  if (c == 1) shooter(g, p);
  hit(g, p, c, r);
}

constexpr RingSettings kShoot{.positions = kCols,
                              .rings = kRows,
                              .seam = false,
                              .downHintFromFour = true,
                              .centred = false,
                              .reachBefore = 2,
                              .reachAfter = 25,
                              .swaps = false,
                              .afterBurst = shooterAndHit};

// Redraws every wall tile that starts three of a colour across or down, until a whole pass
// finds none.
void removeWallRuns(Game& g, RingPuzzle& p) {
  removeRuns(
      kCols, kWallRows, [&](int c, int r) -> int& { return p.at(c, r).colour; },
      [&] { return g.random(1, 4); });
}

}  // namespace

void makeshootpuzzle(Game& g) {
  RingPuzzle& p = g.ring;
  p = RingPuzzle{};
  p.shotColour = g.random(1, 4);
  p.shooterX = slotX(8);
  g.tileGoal = 80;
  for (int c = 1; c <= kCols; ++c) {
    for (int r = 0; r <= kRows; ++r) {
      RoundSlot& t = p.at(c, r);
      t.x = slotX(c);
      t.y = slotY(r);
      t.width = 25;
      t.colour = r <= kWallRows ? g.random(1, 4) : kOpen;
    }
  }
  removeWallRuns(g, p);
}

void shootpuzzle(Game& g) {
  runRingPuzzle(g, g.ring, kShoot);
}

}  // namespace mv
