// SPDX-License-Identifier: GPL-3.0-or-later
// Rules that every tile board and ring puzzle applies in the same way at the start of its frame.
#pragma once

namespace mv {

struct Game;

// The level is complete once the tiles converted in the last frame reach the goal; near the goal
// a hint shows once, and after the first ten converted tiles a voice speaks once. The count then
// starts again for this frame's scan.
void boardProgress(Game& g, int& converted, int goal);

// A long cascade of `frames` frames starts the "BONUS X" counter at a tenth of it, rounded half to
// even; a short one starts nothing.
void cascadeBonus(Game& g, int frames);

// The bonus tile's glow swings between 55 and 255 in steps of 10.
void pulse(int& level, bool& down);

}  // namespace mv
