// SPDX-License-Identifier: GPL-3.0-or-later
// The voodoo box: seventeen small pieces of stone and skulls lie around a 6 x 6 box. The player
// drags them in (right click turns one); once the box is nearly full, every line of three equal
// skulls bursts and pays out, the box flashes away and the level goes on as a tile board.
#pragma once

#include "state/puzzles.h"

namespace mv {

struct Game;

// Lays out the cells of `piece` from its shape with cell 1 at (x, y).
void placepiece(VoodooBox& box, int piece, int x, int y);
// Clears the box and deals seventeen new pieces around it, without a sound (at start-up).
void preparebox(Game& g);
// A voodoo box level starts: its voice, then preparebox.
void makepuzzlegame(Game& g);
// One frame of the puzzle, drawing included; clears boxPuzzleOn when the box has closed.
void puzzlegame(Game& g);

}  // namespace mv
