// SPDX-License-Identifier: GPL-3.0-or-later
// What the bonus puzzles hold: the falling-tiles clocks, the slots of the round and shooting
// puzzles, and the voodoo box with its pieces and shapes. Plain data; the routines that play them
// live in puzzles/.
#pragma once

#include <array>

namespace mv {

// The falling-tiles puzzle's rise and row-shift clocks.
struct FallPuzzle {
  int riseTick = 0;   // frames since the last 1-pixel rise
  int shiftTick = 0;  // frames since the last row shift
};

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

inline constexpr int kBoxPieces = 17;
inline constexpr int kBoxSize = 6;  // columns and rows
inline constexpr int kBoxX = 250;   // top-left corner of box cell (1, 1)
inline constexpr int kBoxY = 200;
inline constexpr int kBoxCell = 25;  // cell size and pitch
inline constexpr int kNoCell = -50;  // position of a cell the piece's shape does not have
inline constexpr int kBoxShapes = 12;

// Cell marks, drawn as puzzlelist pictures 0..2.
enum BoxMark : int { kStone = 0, kRedSkull = 1, kPurpleSkull = 2 };

// A shape: its cells as offsets from cell 1 (in cells), and the shape a quarter turn gives.
struct BoxShape {
  int cells;  // 2..4; offsets beyond it are unused
  std::array<std::array<int, 2>, 4> at;
  int turnsInto;
};
// Shapes 1..12.
const BoxShape& boxShape(int shape);

struct BoxCell {
  int x = kNoCell, y = kNoCell;  // top-left on the screen
  int mark = kStone;
};

struct BoxPiece {
  int shape = 1;
  std::array<BoxCell, 5> cell{};  // cells 1..4

  bool has(int n) const { return n <= boxShape(shape).cells; }
};

// Box cells [column][row], 1..6 used. Lines are followed up to six cells past a cell, so the
// arrays reach column and row 12, where nothing ever lies.
using BoxGrid = std::array<std::array<int, 2 * kBoxSize + 1>, 2 * kBoxSize + 1>;

struct VoodooBox {
  std::array<BoxPiece, kBoxPieces + 1> pieces{};  // 1..17
  BoxGrid boardMark{};      // mark lying on each box cell, rebuilt every frame
  BoxGrid cellEffect{};     // burst countdown: 22 when queued, down to 0
  BoxGrid cellBurstMark{};  // mark shown while bursting; set once, the cell's face is not drawn
  BoxGrid cellPayout{};     // points the cell pays when its burst starts
  int heldPiece = 0;        // piece on the cursor, 0 none
  int coveredCells = 0;     // box cells under placed pieces
  bool payoutRunning = false;
  int firstEffectCell = 0;  // scan number 1..36 of the cell paying out, 0 none
  int boxShakeX = 0, boxShakeY = 0;
  int endCountdown = -1;  // -1 placing, 50..0 pieces blinking after judging, -2 flash begun
  int blinkPhase = 0;     // 0..5; pieces show while below 2
  int flashTimer = -1;    // -1 idle, 75 down to 0
  int flashSize = 0, flashAlpha = 0;
};

}  // namespace mv
