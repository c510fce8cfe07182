// SPDX-License-Identifier: GPL-3.0-or-later
// The round puzzle: 72 tiles on three rings of 24 positions. Neighbours along a ring (24 and 1
// included) or between rings at one position swap; three of a colour along a ring, or one colour
// on all three rings at a position, burst and convert their slots.
#include "board/runs.h"
#include "puzzles/ring.h"
#include "state/game.h"

namespace mv {
namespace {

constexpr RingSettings kRound{};

struct RingPoint {
  int x, y;
};
struct Spoke {
  RingPoint ring[3];  // outer, middle, inner
  int angle;
};

// Where each position sits on the three rings, and how its tiles are turned.
constexpr Spoke kLayout[24] = {
    {{{300, 125}, {300, 150}, {300, 175}}, 0},   {{{335, 128}, {330, 153}, {325, 178}}, 8},
    {{{372, 141}, {360, 163}, {348, 185}}, 20},  {{{404, 167}, {385, 184}, {366, 201}}, 35},
    {{{426, 202}, {402, 212}, {378, 222}}, 45},  {{{438, 242}, {412, 245}, {386, 248}}, 58},
    {{{442, 278}, {416, 278}, {390, 278}}, 65},  {{{437, 314}, {411, 311}, {385, 308}}, 70},
    {{{426, 354}, {402, 344}, {378, 334}}, 85},  {{{404, 389}, {385, 372}, {366, 355}}, 95},
    {{{372, 415}, {360, 393}, {348, 371}}, 110}, {{{335, 428}, {330, 403}, {325, 378}}, 122},
    {{{300, 431}, {300, 406}, {300, 381}}, 130}, {{{265, 428}, {270, 403}, {275, 378}}, 138},
    {{{228, 415}, {240, 393}, {252, 371}}, 150}, {{{196, 389}, {215, 372}, {234, 355}}, 165},
    {{{174, 354}, {198, 344}, {222, 334}}, 170}, {{{161, 314}, {187, 311}, {213, 308}}, 188},
    {{{155, 278}, {181, 278}, {207, 278}}, 195}, {{{159, 242}, {185, 245}, {211, 248}}, 200},
    {{{171, 202}, {195, 212}, {219, 222}}, 215}, {{{194, 167}, {213, 184}, {232, 201}}, 225},
    {{{227, 141}, {239, 163}, {251, 185}}, 240}, {{{265, 128}, {270, 153}, {275, 178}}, 252},
};
constexpr int kRingWidth[4] = {0, 38, 33, 25};

// Redraws every tile that starts three of a colour along its ring (the seam is left alone) or
// across the rings, until a whole pass finds none.
void removeRingRuns(Game& g, RingPuzzle& p) {
  removeRuns(
      24, 3, [&](int k, int j) -> int& { return p.at(k, j).colour; },
      [&] { return g.random(1, 4); });
}

}  // namespace

void makeroundpuzzle(Game& g) {
  RingPuzzle& p = g.ring;
  p = RingPuzzle{};
  for (int j = 0; j <= 3; ++j) {
    for (int k = 1; k <= 24; ++k) {
      RoundSlot& t = p.at(k, j);
      t.colour = g.random(1, 4);
      t.width = kRingWidth[j];
      if (j == 0) {
        t.x = 300;
        t.y = 250;
      }
    }
  }
  removeRingRuns(g, p);
  for (int j = 1; j <= 3; ++j) {
    for (int k = 1; k <= 24; ++k) {
      RoundSlot& t = p.at(k, j);
      t.x = kLayout[k - 1].ring[j - 1].x;
      t.y = kLayout[k - 1].ring[j - 1].y;
      t.angle = kLayout[k - 1].angle;
    }
  }
  g.tileGoal = 72;
}

void roundpuzzle(Game& g) {
  runRingPuzzle(g, g.ring, kRound);
}

}  // namespace mv
