// SPDX-License-Identifier: GPL-3.0-or-later
// The tile boards: grids of coloured tiles in which two neighbours are swapped to line up three or
// more of a colour. One routine runs every board; what differs between the first board, the second
// board of two-board levels and the falling-tiles grid is held in BoardSettings.
#pragma once

#include "state/board.h"

namespace mv {

struct Game;

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
