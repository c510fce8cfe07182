// SPDX-License-Identifier: GPL-3.0-or-later
// The screens around play: the main menu, the instructions page and the options.
#pragma once

namespace mv {

struct Game;

// The main menu page and its five entries: play, change player, instructions, options, exit.
void mainmenu(Game& g);
// The instructions page; any left press goes back to the main menu.
void instructions(Game& g);
// The options page: four switches, each with its note beside the cursor, and the back button.
void options(Game& g);

}  // namespace mv
