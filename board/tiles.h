// The tile boards: grids of coloured tiles in which two neighbours are swapped to line up three or
// more of a colour. One routine runs every board; what differs between the first board, the second
// board of two-board levels and the falling-tiles grid is held in BoardSettings.
#pragma once

#include <array>

namespace mv {

struct Game;

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

// What sets one board's run apart from the first board's.
struct BoardSettings {
  int originX = 48, originY = 48;  // rest position of cell (1, 1)
  bool followsOffset = true;       // drawn at boardOffsetX/Y; drifts and takes scatter requests
  int bonusDice = 1;               // frameDice value that lights the bonus tile
  bool airRefill = false;          // the spawn row takes air instead of new tiles
  bool hintShake = true;           // hinted tiles count down and shake
  bool undoToSavedY = false;       // swap undo sends the second-clicked tile to savedSwapY
};

inline constexpr BoardSettings kFirstBoard{};
inline constexpr BoardSettings kSecondBoard{
    .originX = 248, .originY = 148, .followsOffset = false, .bonusDice = 2};

// The shared counters a board reports into: its size, its converted cells and its goal.
struct BoardCounts {
  int& cols;
  int& rows;
  int& converted;
  int& goal;
};

// Both boards of a level, and the second board's converted count.
struct TileBoards {
  TileBoard first;   // the tile board (also the falling-tiles grid)
  TileBoard second;  // the 6 x 6 board of two-board levels
  int board2Converted = 0;
};

BoardCounts firstBoardCounts(Game& g);
BoardCounts secondBoardCounts(Game& g);

// One frame of a board: the frame start up to the bonus pulse, then the scan, then the drift
// turn. A puzzle that adds its own step before the scan calls the two halves itself.
void boardFrameStart(Game& g, TileBoard& b, const BoardCounts& n, const BoardSettings& s);
void boardScan(Game& g, TileBoard& b, const BoardCounts& n, const BoardSettings& s);
void runTileBoard(Game& g, TileBoard& b, const BoardCounts& n, const BoardSettings& s);

// One frame of the first board, and of the second board of two-board levels.
void placetiles(Game& g);
void placetiles2(Game& g);

}  // namespace mv
