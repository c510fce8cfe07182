// SPDX-License-Identifier: GPL-3.0-or-later
// The frame loop: one call draws one whole frame into the back buffer, in a fixed order of
// screens, each handling its clicks as it draws, and shows it.
#pragma once

namespace mv {

struct Game;

// One frame, run by the 30 ms frame timer.
void DXTimerTimer(Game& g);

// Play runs (the play frame or the voodoo box) when no screen covers it.
bool playIsFree(const Game& g);

// The play frame: background, board items, blood, the board or puzzle, spiders, inventory panel,
// carried item, HUD, hints, effects and the cursor texts.
void playFrame(Game& g);

}  // namespace mv
