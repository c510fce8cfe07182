// SPDX-License-Identifier: GPL-3.0-or-later
// The falling-tiles puzzle: a tall grid that fills from below. The stack rises a pixel every ten
// frames and every 270 frames a new row enters at the bottom while every tile moves up a row; a
// tile already in the top row calls lightning down its column, which costs a spider. It plays as
// the tile board does, on the first board's grid, with the settings below.
#pragma once

#include "board/tiles.h"

namespace mv {

struct Game;

inline constexpr int kFallCols = 10;
inline constexpr int kFallRows = 15;
inline constexpr int kFallGoal = 50;
inline constexpr int kFallTileRows = 4;   // the bottom rows that start with tiles
inline constexpr int kRiseFrames = 10;    // frames per 1-pixel rise
inline constexpr int kShiftFrames = 270;  // frames per row shift

// Gaps fill with air from above, hinted tiles keep still, and an undone swap sends the
// second-clicked tile to the height its partner had when the swap began.
inline constexpr BoardSettings kFallingTiles{
    .airRefill = true, .hintShake = false, .undoToSavedY = true};

// Builds the grid: air above, four rows of tiles at the bottom, no ready-made run.
void makefallpuzzle(Game& g);
// One frame of the puzzle.
void fallpuzzle(Game& g);

}  // namespace mv
