// SPDX-License-Identifier: GPL-3.0-or-later
// Starting levels: the level set-up that every level kind goes through, the restart after a loss
// and a new player's first level. It saves the player and builds the bonus puzzles, so it sits
// above the boards, puzzles, items and profiles.
#pragma once

namespace mv {

struct Game;

// Restarts the current level (after a loss, and at start-up).
void gamereset(Game& g);
// Starts the level given by level and levelType.
void newlevel(Game& g);
// A new player: empty boards, level 1 of kind 1 on background 1, score 0; then gamereset.
void newplayerreset(Game& g);

}  // namespace mv
