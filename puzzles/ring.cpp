// SPDX-License-Identifier: GPL-3.0-or-later
// The frame of the round and shooting puzzles: a frame head that tests the goal and settles
// swaps, then one pass over the slots that finds runs, refills and drops tiles, moves and swaps
// them, draws them, bursts them and takes the player's clicks. Later slots see what earlier
// slots changed in the same frame, so the order of the steps is the game's behaviour.
#include "puzzles/ring.h"

#include <cstdlib>

#include "board/progress.h"
#include "board/spiders.h"
#include "board/swaps.h"
#include "state/game.h"

namespace mv {
namespace {

bool isTile(int colour) {
  return colour >= 1 && colour <= 5;
}

bool within(int a, int b, int reach) {
  return std::abs(a - b) <= reach;
}

// Sends `from` towards `to`, carrying `to`'s colour; on arrival it jumps back home with it.
void startSwapMove(RoundSlot& from, const RoundSlot& to, int toColour) {
  from.targetX = to.x;
  from.targetY = to.y;
  from.carriedColour = toColour;
  from.homeX = from.x;
  from.homeY = from.y;
}

void startSwap(RoundSlot& a, RoundSlot& b) {
  const RoundSlot a0 = a;
  startSwapMove(a, b, b.colour);
  startSwapMove(b, a0, a0.colour);
}

// A settled frame pays the cascade bonus, and undoes a swap that made no run.
void settledFrame(Game& g, RingPuzzle& p) {
  settleSwaps(g, p, &RingPuzzle::swapPosA,
              [&] { startSwap(p.at(p.swapPosA, p.swapRingA), p.at(p.swapPosB, p.swapRingB)); });
}

void frameHead(Game& g, RingPuzzle& p) {
  p.wasBusy = p.busy;
  p.busy = false;
  boardProgress(g, g.clearedCount, g.tileGoal);
  if (p.matchFlag == 2) ++p.cascadeFrames;
  if (p.selectState == 0 && !p.wasBusy) settledFrame(g, p);

  if (p.bonusTileTimer > 0) --p.bonusTileTimer;
  if (p.bonusTileTimer == 0) {
    p.bonusTile = 0;
    if (g.frameDice == 1) {
      p.bonusTile = g.random(1, g.tileGoal);
      p.bonusTileTimer = 100;
    }
  }
  pulse(p.pulseLevel, p.pulseDown);
}

// The pass over one slot. Holds what the steps share so each reads as the rule it is.
class SlotPass {
 public:
  SlotPass(Game& g, RingPuzzle& p, const RingSettings& s) : g(g), p(p), s(s) {}

  void visit(int pos, int ring) {
    k = pos;
    j = ring;
    ++scanIndex;
    RoundSlot& t = p.at(k, j);
    if (t.cleared) ++g.clearedCount;
    if (t.vanish > 0) p.busy = true;
    if (t.colour < 6 && t.colour > 0 && !t.moving) runs();
    entry();
    fall();
    verticalSnap();
    snap();
    move();
    if (p.selectState == 12) {
      t.targetX = t.targetY = 0;
      p.selectedPos = p.selectedRing = 0;
      p.selectState = 0;
    }
    draw();
    burstCountdown();
    if (s.afterBurst) s.afterBurst(g, p, k, j);
    if (k == p.selectedPos && j == p.selectedRing) mark();
    input();
  }

 private:
  struct Cell {
    int k, j;
  };
  using Run = std::array<Cell, 6>;

  RoundSlot& slot() { return p.at(k, j); }
  bool onBoard(int pos, int ring) const {
    return pos >= 1 && pos <= s.positions && ring >= 1 && ring <= s.rings;
  }

  // Position `k + i` along the ring, past the last position onto the first.
  int wrapped(int i) const { return (k - 1 + i) % s.positions + 1; }

  void firstMatchHint() {
    if (g.hintStep == 1) {
      g.hintStep = 2;
      g.hintIndex = 2;
      g.hintFade = 0;
    }
  }

  // A run needs its first three slots to hold this tile's colour, still; it extends by up to
  // three more, never past the edge of the board. Every slot of it bursts; the first three hatch
  // only when it extended, the extension always. Returns the run's length, 0 for none.
  int run(const Run& cells) {
    const int colour = slot().colour;
    auto qualifies = [&](const Cell& c) {
      const RoundSlot& o = p.at(c.k, c.j);
      return onBoard(c.k, c.j) && o.colour == colour && !o.moving;
    };
    if (!qualifies(cells[1]) || !qualifies(cells[2])) return 0;
    p.matchFlag = 2;
    int n = 3;
    while (n < 6 && qualifies(cells[n])) ++n;
    for (int i = 0; i < n; ++i) {
      RoundSlot& o = p.at(cells[i].k, cells[i].j);
      if (o.vanish == 0) o.vanish = 32;
      o.longMatch = (i >= 3 || n > 3) ? 1 : 0;
    }
    return n;
  }

  void runs() {
    Run along, down;
    if (s.seam && k > s.positions - 2) {
      for (int i = 0; i < 6; ++i) along[i] = {wrapped(i), j};
      run(along);
    }
    for (int i = 0; i < 6; ++i) along[i] = {k + i, j};
    if (run(along) > 0) firstMatchHint();
    for (int i = 0; i < 6; ++i) down[i] = {k, j + i};
    if (run(down) > 3 && s.downHintFromFour) firstMatchHint();
  }

  // A new tile waits in the entry slot while the outer ring's slot is empty.
  void entry() {
    const RoundSlot& top = p.at(k, 1);
    if (top.colour == kEmpty && !top.moving && top.vanish == 0 && p.selectState < 3) {
      RoundSlot& in = p.at(k, 0);
      in.colour = g.random(1, 4);
      in.x = 300;
      in.y = 220;
    }
  }

  // An empty slot pulls the tile from the slot outside it, which sets off from there.
  void fall() {
    RoundSlot& t = slot();
    if (t.colour != kEmpty || t.moving || t.vanish != 0 || p.selectState >= 3) return;
    RoundSlot& above = p.at(k, j - 1);
    t.colour = above.colour;
    t.targetX = t.x;
    t.targetY = t.y;
    t.moving = 1;
    t.y = above.y;
    above.colour = kEmpty;
    p.busy = true;
  }

  void stop(RoundSlot& t) {
    t.targetX = t.targetY = 0;
    t.moving = 0;
    p.busy = true;
  }

  void verticalSnap() {
    RoundSlot& t = slot();
    if (t.targetY > 0 && t.targetX == t.x && within(t.y, t.targetY, 4) && p.selectState < 3) {
      t.y = t.targetY;
      stop(t);
    }
  }

  void snap() {
    RoundSlot& t = slot();
    if ((t.targetX > 0 || t.targetY > 0) && within(t.x, t.targetX, 6) &&
        within(t.y, t.targetY, 6) && p.selectState < 3) {
      t.x = t.targetX;
      t.y = t.targetY;
      stop(t);
    }
  }

  void move() {
    RoundSlot& t = slot();
    if (t.targetX <= 0 && t.targetY <= 0) return;
    p.moveStep = (within(t.x, t.targetX, 8) && within(t.y, t.targetY, 8)) ? 1 : 8;
    if (t.targetX < t.x) t.x -= p.moveStep;
    if (t.x < t.targetX) t.x += p.moveStep;
    if (t.targetY < t.y) t.y -= p.moveStep;
    if (t.y < t.targetY) t.y += p.moveStep;
    p.busy = true;
    t.moving = 1;
    if (within(t.x, t.targetX, 6) && within(t.y, t.targetY, 6) && p.selectState > 9) {
      t.colour = t.carriedColour;
      t.x = t.homeX;
      t.y = t.homeY;
      t.targetX = t.targetY = 0;
      t.carriedColour = 0;
      t.moving = 0;
      ++p.selectState;
    }
  }

  // Draws `list` item `index` over the slot at (x, y) in the slot's width, turned by its angle
  // (round), or 25 x 25 upright from the top-left (shooting).
  void drawTile(ImageList list, int index, int x, int y, int width, int alpha) {
    const double pivot = s.centred ? 0.5 : 0;
    const Image& img = g.image(list, index);
    const int angle = slot().angle;
    if (alpha < 0)
      g.screen.drawRotated(img, x, y, width, 25, 0, pivot, pivot, angle);
    else
      g.screen.drawRotatedAlpha(img, x, y, width, 25, 0, pivot, pivot, angle, alpha);
  }

  // Its colour, or the converted picture once the slot is cleared and holds a tile.
  int tileImage() {
    const RoundSlot& t = slot();
    return (t.cleared && isTile(t.colour)) ? t.colour + 5 : t.colour;
  }

  void draw() {
    const RoundSlot& t = slot();
    if (t.vanish == 0) {
      if (scanIndex == p.bonusTile)
        drawTile(ImageList::roundtilelist, 12, t.x, t.y, 25, p.pulseLevel);
      else
        drawTile(ImageList::roundtilelist, tileImage(), t.x, t.y, t.width, -1);
    } else if (t.vanish >= 20) {
      const int dx = g.random(1, 3), dy = g.random(1, 3);
      drawTile(ImageList::roundtilelist, tileImage(), t.x + dx, t.y + dy, t.width, -1);
    } else {
      g.screen.drawImage(g.image(ImageList::explist, t.vanish), t.x, t.y, 0);
    }
  }

  void burstCountdown() {
    RoundSlot& t = slot();
    if (t.vanish <= 0) return;
    if (t.vanish-- != 20) return;
    t.vanish = 5;
    t.cleared = 1;
    g.playIfOn(10);
    g.score += 10;
    // A slot whose tile fell away before it converted has no colour to hatch.
    if (t.longMatch == 1 && t.colour >= kYellow && t.colour <= kPurple)
      spawnspider(g, t.x, t.y, t.colour, 1);
    t.colour = kEmpty;
    t.longMatch = 0;
  }

  void mark() {
    const RoundSlot& t = slot();
    drawTile(ImageList::tilelist, 13, t.x, t.y, t.width, -1);
  }

  bool takesClick() {
    const RoundSlot& t = slot();
    return p.selectState < 2 && g.mouseX > t.x - s.reachBefore && g.mouseX < t.x + s.reachAfter &&
           g.mouseY > t.y - s.reachBefore && g.mouseY < t.y + s.reachAfter && !p.busy &&
           !t.moving && t.vanish == 0 && isTile(t.colour) && !p.wasBusy;
  }

  void input() {
    if (!takesClick()) return;
    if (!s.swaps) {
      // Only the bonus tile takes a click here, and leaves it for whatever comes next.
      if (g.mouseButton == kLeft && scanIndex == p.bonusTile) bonusBurst();
      return;
    }
    mark();
    if (g.mouseButton != kLeft) return;
    click();
    g.mouseButton = kNoClick;
  }

  // The bonus tile bursts itself and its six neighbours on the board, whatever they hold.
  void bonusBurst() {
    static constexpr int kCells[7][2] = {{0, 0},  {1, 0},   {1, 1}, {0, 1},
                                         {-1, 0}, {-1, -1}, {0, -1}};
    for (const auto& d : kCells)
      if (onBoard(k + d[0], j + d[1])) p.at(k + d[0], j + d[1]).vanish = 32;
    const RoundSlot& t = slot();
    g.levelHint = "BONUS +100";
    g.levelHintX = t.x;
    g.levelHintY = t.y;
    g.quakeTimerB = 30;
    g.quakeX = t.x + 10;
    g.quakeY = t.y - 290;
    g.score += 100;
    p.bonusTile = 0;
    p.bonusTileTimer = 0;
  }

  bool neighbours(int k2, int j2) const {
    const int dk = std::abs(k - k2), dj = std::abs(j - j2);
    if (dk == 0) return dj == 1;
    if (dj != 0) return false;
    return dk == 1 || (s.seam && dk == s.positions - 1);
  }

  void click() {
    if (scanIndex == p.bonusTile) {
      bonusBurst();
      p.selectState = -1;
    }
    clickTile(
        g, p, &RingPuzzle::selectedPos, &RingPuzzle::selectedRing, k, j, slot().colour,
        [&](int k2, int j2) { return neighbours(k2, j2); }, [&] { swap(); });
  }

  void swap() {
    RoundSlot& sel = p.at(p.selectedPos, p.selectedRing);
    RoundSlot& t = slot();
    p.swapCheck = 2;
    p.selectState = 10;
    startSwap(sel, t);
    p.swapPosA = k;
    p.swapRingA = j;
    p.swapPosB = p.selectedPos;
    p.swapRingB = p.selectedRing;
    sel.moving = t.moving = 1;
    p.busy = true;
  }

  Game& g;
  RingPuzzle& p;
  const RingSettings& s;
  int k = 0, j = 0;
  int scanIndex = 0;
};

}  // namespace

void runRingPuzzle(Game& g, RingPuzzle& p, const RingSettings& s) {
  frameHead(g, p);
  SlotPass pass(g, p, s);
  for (int j = 1; j <= s.rings; ++j)
    for (int k = 1; k <= s.positions; ++k) pass.visit(k, j);
}

}  // namespace mv
