// SPDX-License-Identifier: GPL-3.0-or-later
// What the play screen holds: the tile boards, the spider slots, the blood splats and floating
// texts, the items lying on the board and the smoke puffs. Plain data; the routines that work on
// it live in board/.
#pragma once

#include <array>
#include <string>

#include "state/items.h"

namespace mv {

// Columns and rows 0..30: the playing grid counts from 1, row 0 is the spawn row, and every read
// a few cells beyond the grid lands on a cell holding 0.
inline constexpr int kGridSize = 31;
using TileGrid = std::array<std::array<int, kGridSize>, kGridSize>;  // [column][row]

// Tile pitch on the screen: 25-pixel tiles with 3-pixel gaps.
inline constexpr int kTilePitch = 28;
// Air in the falling-tiles grid: no tile, never matches, never selectable.
inline constexpr int kAir = 14;

// One board: its cell grids and its own selection, swap and timing state.
struct TileBoard {
  TileGrid tileKind{};       // 1..5 a colour, 11 empty, 14 air, 0 outside the grid
  TileGrid tileBlast{};      // burst countdown: 32 at a run, converts at 20, then 5..1 explosion
  TileGrid tileHint{};       // hint shake frames left
  TileGrid tileConverted{};  // 1 once a burst has converted the cell
  TileGrid tileHatch{};      // 1: the tile hatches a spider when it converts
  TileGrid tileMoving{};
  TileGrid tileX{}, tileY{};              // top-left of the tile in board coordinates
  TileGrid tileTargetX{}, tileTargetY{};  // where the tile moves to; both 0: no move
  TileGrid tileHomeX{}, tileHomeY{};      // where a swapping tile jumps back to on arrival
  TileGrid tileSwapKind{};                // the kind the cell takes when its swap arrives

  // 0 none, 1 one tile selected, 2 after the second click, 10/11 swap animating, 12 reset
  // request, -1 after a bonus-tile click.
  int selectState = 0;
  int selectedCol = 0, selectedRow = 0;
  int swapColA = 0, swapRowA = 0;  // clicked second in the last swap; 0: no swap to check
  int swapColB = 0, swapRowB = 0;  // selected first
  int swapCheck = 0;               // 2 at a swap; at 1 on a settled frame without a run, undo
  int matchFlag = 0;               // 2 in a frame that saw a run; counts down on settled frames
  int moveStep = 8;
  bool busy = false, wasBusy = false;
  int cascadeFrames = 0;
  int hintTimer = 0;
  int bonusTile = 0, bonusTileTimer = 0;  // scan index of the bonus cell, frames it stays
  bool pulseDown = false;
  int pulseLevel = 0;
  int scatterLeft = 0;  // tiles still flying home after a scatter
  int savedSwapY = 0;   // tileY of the first-selected tile at a swap (falling tiles)

  // Clears the kinds, moves, targets and bursts of columns 0..cols and rows 0..rows.
  void clearCells(int cols, int rows);
  void clearCells(int n) { clearCells(n, n); }
  // Rest position of cell (c, r) in board coordinates for a board whose cell (1, 1) rests at
  // (originX, originY).
  static int restX(int originX, int c) { return originX + kTilePitch * (c - 1); }
  static int restY(int originY, int r) { return originY + kTilePitch * (r - 1); }
};

// Both boards of a level, and the second board's converted count.
struct TileBoards {
  TileBoard first;   // the tile board (also the falling-tiles grid)
  TileBoard second;  // the 6 x 6 board of two-board levels
  int board2Converted = 0;
};

// One spider slot. Positions and sizes are reals; the rest are integers or a colour letter.
struct Spider {
  double spiderLife = 0;            // above 0: a live spider; 0: an empty slot
  double spiderX = 0, spiderY = 0;  // centre on the screen
  double spiderSpeed = 0;           // pixels per frame along spiderDirection: 0, 0.5, 1, 1.5 or 2
  int spiderDirection = 0;          // 0 standing, 1..8 (see spiderStep)
  double spiderAngle = 0;           // drawing rotation, 256 to a full turn
  int spiderTurn = 0;               // 0 none, 1 the angle grows by 1 a frame, 2 it shrinks
  double spiderSize = 0;            // drawn width and height in pixels
  double spiderGrowTo = 0;
  std::string spiderColour;   // "Y", "R", "G" or "P"
  int spiderSymbol = 0;       // 1..4 by colour, 5..8 once grown by a Grow Rune
  int spiderFrame = 0;        // spiderlist picture 0..10
  int spiderAnimDir = 0;      // 0 the frame counts up, 1 down
  int spiderGemCooldown = 0;  // turns of spiderCursor until it can yield jewels again
  int spiderMarked = 0;       // 0, or the slot's own number once picked to die
};

inline constexpr int kSpiderSlots = 20;

// Slots 1..20; slot 0 exists so slot numbers index directly, and never holds a spider.
using SpiderSlots = std::array<Spider, kSpiderSlots + 1>;

struct BloodSplat {
  double bloodX = 0, bloodY = 0;  // centre
  double bloodAngle = 0;
  double bloodSize = 0, bloodGrowTo = 0;
  double bloodAlpha = 0;  // opacity; a slot below 50 may be reused
};

struct FloatText {
  std::string floatText;
  int floatTextX = 0, floatTextY = 0;
  int floatTextLife = 0;  // frames left; 0 = free
};

inline constexpr int kBloodSlots = 10;
inline constexpr int kFloatTextSlots = 8;

// Slots are numbered from 1; slot 0 is never used.
using BloodSlots = std::array<BloodSplat, kBloodSlots + 1>;
using FloatTextSlots = std::array<FloatText, kFloatTextSlots + 1>;

// An item lying on the board: the item record, where it lies and its glow.
struct BoardItem : Item {
  int x = 0, y = 0;   // screen position; the picture is drawn from (x - 5, y - 5)
  bool glow = false;  // the glow behind the item, drawn when details are on
};

inline constexpr int kBoardItemSlots = 20;

// Slots 1..20; slot 0 is never used.
using BoardItems = std::array<BoardItem, kBoardItemSlots + 1>;

// The sixteen Morvane Rune Pieces are kinds 25..40, handed out in that order.
inline constexpr int kFirstRunePiece = 25, kRunePieces = 16;

struct SmokePuff {
  int life = 0;  // frames left; 0 = free
  int startLife = 0;
  int x = 0, y = 0;
  int opacity = 0;
  int size = 0;
};

inline constexpr int kSmokePuffs = 200;
using SmokePuffs = std::array<SmokePuff, kSmokePuffs>;  // slots 0..199

}  // namespace mv
