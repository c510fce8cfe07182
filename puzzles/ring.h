// SPDX-License-Identifier: GPL-3.0-or-later
// The round puzzle and the shooting puzzle: one mechanism over one grid of slots. The round
// puzzle lays its slots out on three rings of 24 positions and lets the player swap neighbours;
// the shooting puzzle hangs a wall of tiles from a 15 x 10 grid and fills it from a shooter. What
// sets them apart is held in RingSettings.
#pragma once

#include "state/puzzles.h"

namespace mv {

struct Game;

// What sets the shooting puzzle apart from the round puzzle.
struct RingSettings {
  int positions = 24;             // slots along a ring (across a row)
  int rings = 3;                  // rings (rows), scanned from ring 1 (the top row) inward
  bool seam = true;               // the last position neighbours the first, for runs and swaps
  bool downHintFromFour = false;  // a run down (across the rings) moves the first hint on at 4+
  bool centred = true;            // tiles drawn centred on (x, y) and turned; else from top-left
  int reachBefore = 12, reachAfter = 12;  // cursor box around (x, y) that takes a click
  bool swaps = true;  // clicks select and swap tiles; else only the bonus tile takes a click
  // Runs after a slot's burst countdown (the shooter and its hit test).
  void (*afterBurst)(Game& g, RingPuzzle& p, int k, int j) = nullptr;
};

// One frame of the puzzle: the frame head, then the scan of every slot.
void runRingPuzzle(Game& g, RingPuzzle& p, const RingSettings& s);

// The round puzzle: a new board, and one frame.
void makeroundpuzzle(Game& g);
void roundpuzzle(Game& g);

// The shooting puzzle: a new board, and one frame.
void makeshootpuzzle(Game& g);
void shootpuzzle(Game& g);

}  // namespace mv
