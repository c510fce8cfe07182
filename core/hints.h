// SPDX-License-Identifier: GPL-3.0-or-later
// The hint panels that explain the game during the first levels, and the game-over panel.
#pragma once

namespace mv {

struct Game;

// Fades in and draws the hint panel hintIndex; a click closes it once it is fully shown.
void showhelp(Game& g);

}  // namespace mv
