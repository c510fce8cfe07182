// SPDX-License-Identifier: GPL-3.0-or-later
// The voodoo box's pieces: how they are laid out, and the deal around the box.
#include "puzzles/voodoo.h"
#include "state/game.h"

namespace mv {
namespace {

bool threeWide(int shape) {
  return shape == 5 || shape == 10 || shape == 12;
}

// The deal: pieces 1..10 along the bottom and up the left, 11..14 up the right, 15..17 at the
// top left, each row zig-zagging by 50 pixels.
void dealPieces(Game& g) {
  VoodooBox& box = g.voodoo;
  int x = 5, y = 475, t = 1;
  for (int n = 1; n <= kBoxPieces; ++n) {
    if (n == 11) x = 550, y = 350;
    if (n > 11) y -= 60;
    if (n == 15) x = 50, y = 150;
    if (n == 16) x = 5, y = 200;
    if (n == 17) x = 50, y = 250;
    if (n == 10) x = 5, y = 350;
    BoxPiece& p = box.pieces[n];
    p.shape = g.random(1, kBoxShapes);
    placepiece(box, n, x, y);
    if (n < 11) x += 70;
    if (threeWide(p.shape)) x += 50;
    t = 1 - t;
    const int step = t == 0 ? -50 : 50;
    if (n > 10)
      x += step;
    else
      y += step;
    for (int c = 1; c <= 4; ++c) p.cell[c].mark = g.chance(2) ? g.random(1, 2) : kStone;
  }
}

}  // namespace

void placepiece(VoodooBox& box, int piece, int x, int y) {
  BoxPiece& p = box.pieces[piece];
  const BoxShape& s = boxShape(p.shape);
  for (int n = 1; n <= 4; ++n) {
    BoxCell& c = p.cell[n];
    c.x = n <= s.cells ? x + kBoxCell * s.at[n - 1][0] : kNoCell;
    c.y = n <= s.cells ? y + kBoxCell * s.at[n - 1][1] : kNoCell;
  }
}

void preparebox(Game& g) {
  // Everything of a box left unfinished (the player went to the menu and changed level) goes,
  // so no burst of an old box pays out again and no old piece stays on the cursor.
  g.voodoo = VoodooBox{};
  dealPieces(g);
}

void makepuzzlegame(Game& g) {
  g.playIfOn(20);
  preparebox(g);
}

}  // namespace mv
