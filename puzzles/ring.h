// The round puzzle and the shooting puzzle: one mechanism over one grid of slots. The round
// puzzle lays its slots out on three rings of 24 positions and lets the player swap neighbours;
// the shooting puzzle hangs a wall of tiles from a 15 x 10 grid and fills it from a shooter. What
// sets them apart is held in RingSettings.
#pragma once

#include <array>

namespace mv {

struct Game;

// Open space below the shooting puzzle's wall: it neither falls nor pulls and draws nothing.
inline constexpr int kOpen = 14;

// One slot of the grid. The tile in it has a colour and a screen position; `cleared` belongs to
// the slot and stays when the tile moves on.
struct RoundSlot {
  int colour = 0;  // 1..4 a tile, 11 an empty slot, 14 open space (shooting), 0 no slot
  int x = 0, y = 0;
  int angle = 0;                 // 256 to a full turn
  int width = 0;                 // drawn width; the height is always 25
  int targetX = 0, targetY = 0;  // destination of a move; both 0: no move
  int vanish = 0;                // burst countdown: 32 at a run, converts at 20, then 5..1
  int carriedColour = 0;         // the colour a swapping tile brings back when it arrives
  int homeX = 0, homeY = 0;      // where a swapping tile jumps back to on arrival
  int cleared = 0;               // 1 once the slot has been converted
  int moving = 0;
  int longMatch = 0;  // 1: the tile was last seen in a run of four or more, so it hatches
};

// Positions (columns) 0..30 and rings (rows) 0..16. The run checks look up to five slots beyond
// the board but count only slots on it; no tile is ever put off the board.
inline constexpr int kRingCols = 31;
inline constexpr int kRingRows = 17;

struct RingPuzzle {
  std::array<std::array<RoundSlot, kRingRows>, kRingCols> slot{};  // [position][ring]
  RoundSlot& at(int k, int j) { return slot[k][j]; }
  const RoundSlot& at(int k, int j) const { return slot[k][j]; }

  // 0 none, 1 one tile selected, 2 after the second click, 10/11 swap animating, 12 reset
  // request, -1 after a bonus-tile click.
  int selectState = 0;
  int selectedPos = 0, selectedRing = 0;
  int swapPosA = 0, swapRingA = 0;  // clicked second in the last swap; 0: no swap to check
  int swapPosB = 0, swapRingB = 0;  // selected first
  int swapCheck = 0;                // 2 at a swap; at 1 on a settled frame without a run, undo
  int matchFlag = 0;                // 2 in a frame that saw a run; counts down on settled frames
  int moveStep = 8;
  bool busy = false, wasBusy = false;
  int cascadeFrames = 0;
  int bonusTile = 0, bonusTileTimer = 0;  // scan index of the bonus slot, frames it stays
  bool pulseDown = false;
  int pulseLevel = 0;

  // The shooter of the shooting puzzle.
  int shotColour = 0;
  int shotTimer = 0;  // steps left of the shot in flight; 0: ready
  int shooterX = 0;   // left edge of the shooter and the shot
  int shotY = 400;    // top edge of the shot
};

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
