// SPDX-License-Identifier: GPL-3.0-or-later
// The running numbers of play, the "BONUS X" counter and the celebration of the assembled
// Morvane.
#pragma once

namespace mv {

struct Game;

// Score, clock and live spiders at the top of the play screen, and on falling-tiles levels the
// tiles still to convert.
void hud(Game& g);

// One frame of a running bonus counter: a point a frame, with now and then a praise voice.
void bonuscounter(Game& g);

// One frame of the Morvane celebration, drawn over everything while megaBonusTimer runs: it pays
// three points for every frame still to come.
void celebration(Game& g);

}  // namespace mv
