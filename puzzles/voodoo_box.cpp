// SPDX-License-Identifier: GPL-3.0-or-later
// The voodoo box itself: its cells with their payouts, dropping a piece into it, what lies in it,
// and judging the lines of skulls once it is nearly full.
#include "puzzles/voodoo_box.h"

#include <cstdlib>
#include <string>

#include "state/game.h"

namespace mv {
namespace {

constexpr int kBurstFrames = 22;
constexpr int kCountdownFrames = 50;  // frames the pieces blink once the payouts are done
constexpr int kSnap = 14;  // a piece snaps to a corner this many pixels away on both axes
constexpr int kFirstPayout = 100;
constexpr int kLongPayouts[] = {400, 800, 1600, 3200};  // 4th to 7th cell of a line
constexpr int kDownBonus = 100;
constexpr int kPraiseVoice = 2;
constexpr int kPraiseCooldown = 100;

int cornerX(int c) {
  return kBoxX + kBoxCell * (c - 1);
}
int cornerY(int r) {
  return kBoxY + kBoxCell * (r - 1);
}

// Box cell whose corner lies exactly at (x, y), or false.
bool boxCellAt(int x, int y, int& c, int& r) {
  const int dx = x - kBoxX, dy = y - kBoxY;
  if (dx < 0 || dy < 0 || dx % kBoxCell || dy % kBoxCell) return false;
  c = dx / kBoxCell + 1;
  r = dy / kBoxCell + 1;
  return c <= kBoxSize && r <= kBoxSize;
}

bool offBox(const BoxPiece& p) {
  for (int n = 1; n <= 4; ++n) {
    if (!p.has(n)) continue;
    const BoxCell& cell = p.cell[n];
    if (cell.x < kBoxX || cell.x > cornerX(kBoxSize) || cell.y < kBoxY ||
        cell.y > cornerY(kBoxSize))
      return true;
  }
  return false;
}

bool onAnotherPiece(const VoodooBox& box, int piece) {
  const BoxPiece& p = box.pieces[piece];
  for (int other = 1; other <= kBoxPieces; ++other) {
    if (other == piece) continue;
    const BoxPiece& q = box.pieces[other];
    for (int a = 1; a <= 4; ++a) {
      for (int b = 1; b <= 4; ++b) {
        if (p.has(a) && q.has(b) && std::abs(p.cell[a].x - q.cell[b].x) <= 1 &&
            std::abs(p.cell[a].y - q.cell[b].y) <= 1)
          return true;
      }
    }
  }
  return false;
}

// The held piece let go near the corner (X, Y): it goes in there, or, when it would hang off
// the box or lie on another piece, it is left loose by the cursor with the "wrong" sound. These
// two sounds play whatever the sound option says.
void drop(Game& g, int X, int Y) {
  VoodooBox& box = g.voodoo;
  const int piece = box.heldPiece;
  placepiece(box, piece, X, Y);
  if (offBox(box.pieces[piece])) {
    placepiece(box, piece, g.mouseX, g.mouseY);
    g.sound.playSound(12);
  } else if (onAnotherPiece(box, piece)) {
    placepiece(box, piece, g.mouseX + 15, g.mouseY + 20);
    g.sound.playSound(12);
  } else {
    g.sound.playSound(7);
  }
  g.mouseEdge.clear();
  box.heldPiece = 0;
}

// A queued cell shakes the box; the first one in scan order pays when its burst starts and
// counts down its 22 frames, then the next takes over.
void payout(Game& g, int c, int r, int number) {
  VoodooBox& box = g.voodoo;
  int& effect = box.cellEffect[c][r];
  if (box.firstEffectCell == 0) box.firstEffectCell = number;
  box.boxShakeX = g.random(0, 2);
  box.boxShakeY = g.random(0, 2);
  if (box.firstEffectCell == number) {
    if (effect == kBurstFrames) {
      g.score += box.cellPayout[c][r];
      g.levelHint = "$" + std::to_string(box.cellPayout[c][r]);
      g.levelHintX = cornerX(c);
      g.levelHintY = cornerY(r);
      g.playIfOn(10);
    }
    if (--effect == 0) box.firstEffectCell = 0;
  }
  if (box.flashTimer > 0) return;
  if (effect > 11) {
    g.screen.drawRotatedAlpha(g.image(ImageList::puzzlelist, box.cellBurstMark[c][r]),
                              cornerX(c) + box.boxShakeX, cornerY(r) + box.boxShakeY, kBoxCell,
                              kBoxCell, 0, 0, 0, 0, 255);
  } else {
    g.screen.drawRotatedAlpha(g.image(ImageList::explist, effect + 5), cornerX(c), cornerY(r),
                              kBoxCell, kBoxCell, 0, 0, 0, 0, 255);
  }
}

// Queues a line of three starting at (c, r) in direction (dx, dy), and prices the cells further
// along that carry the same mark.
void queueLine(Game& g, int c, int r, int dx, int dy, int mark) {
  VoodooBox& box = g.voodoo;
  for (int k = 0; k < 3; ++k) {
    const int cc = c + k * dx, rr = r + k * dy;
    box.cellEffect[cc][rr] = kBurstFrames;
    box.cellBurstMark[cc][rr] = mark;
    if (box.cellPayout[cc][rr] == 0) box.cellPayout[cc][rr] = kFirstPayout;
  }
  for (int k = 3; k <= 6; ++k) {
    const int cc = c + k * dx, rr = r + k * dy;
    if (box.cellPayout[cc][rr] != 0 || box.boardMark[cc][rr] != mark) continue;
    box.cellPayout[cc][rr] = kLongPayouts[k - 3];
    if (k == 3 && g.voiceCooldown == 0 && g.soundOn) {
      g.sound.playSound(kPraiseVoice);
      g.voiceCooldown = kPraiseCooldown;
    }
  }
}

bool lineFrom(const VoodooBox& box, int c, int r, int dx, int dy, int mark) {
  return box.boardMark[c + dx][r + dy] == mark && box.boardMark[c + 2 * dx][r + 2 * dy] == mark;
}

}  // namespace

void scanbox(Game& g) {
  VoodooBox& box = g.voodoo;
  const Image& face = g.image(ImageList::puzzlelist, kStone);
  for (int r = 1; r <= kBoxSize; ++r) {
    for (int c = 1; c <= kBoxSize; ++c) {
      const int X = cornerX(c), Y = cornerY(r), number = (r - 1) * kBoxSize + c;
      box.boardMark[c][r] = 0;
      if (box.cellEffect[c][r] > 0) box.payoutRunning = true;
      if (box.cellBurstMark[c][r] == 0)
        g.screen.drawRotatedAlpha(face, X, Y, kBoxCell, kBoxCell, 0, 0, 0, 0, 100);
      if (box.cellEffect[c][r] > 0) payout(g, c, r, number);
      if (g.mouseEdge == "up" && box.heldPiece > 0) {
        const BoxCell& first = box.pieces[box.heldPiece].cell[1];
        if (std::abs(first.x - X) <= kSnap && std::abs(first.y - Y) <= kSnap) drop(g, X, Y);
      }
    }
  }
}

// A piece lies in the box when its first cell sits exactly on a box corner. Its cells are read
// where they are drawn, and each box cell counts once, so a piece turned in place or left on a
// corner after a refused drop never counts cells that cannot be seen, nor a cell twice.
void rebuildbox(Game& g) {
  VoodooBox& box = g.voodoo;
  std::array<std::array<bool, kBoxSize + 1>, kBoxSize + 1> covered{};
  box.coveredCells = 0;
  for (int i = 1; i <= kBoxPieces; ++i) {
    const BoxPiece& p = box.pieces[i];
    int c = 0, r = 0;
    if (!boxCellAt(p.cell[1].x, p.cell[1].y, c, r)) continue;
    for (int n = 1; n <= 4; ++n) {
      if (!p.has(n) || !boxCellAt(p.cell[n].x, p.cell[n].y, c, r)) continue;
      box.boardMark[c][r] = p.cell[n].mark;
      if (!covered[c][r]) ++box.coveredCells;
      covered[c][r] = true;
    }
  }
}

void judgebox(Game& g) {
  VoodooBox& box = g.voodoo;
  box.endCountdown = kCountdownFrames;
  g.score += g.timeLeft;
  for (int r = 1; r <= kBoxSize; ++r) {
    for (int c = 1; c <= kBoxSize; ++c) {
      const int m = box.boardMark[c][r];
      if (m <= 0) continue;
      if (lineFrom(box, c, r, 1, 0, m)) queueLine(g, c, r, 1, 0, m);
      if (lineFrom(box, c, r, 0, 1, m)) {
        queueLine(g, c, r, 0, 1, m);
        g.score += kDownBonus;
      }
    }
  }
}

}  // namespace mv
