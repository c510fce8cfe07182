// SPDX-License-Identifier: GPL-3.0-or-later
// Level intros (the animated openings of levels 1 and 2, the still of level 3, the progress map
// of later levels and the scare clip) and the effects that interrupt play: the two lightning
// bursts that shake the screen and the ghost flight.
#pragma once

namespace mv {

struct Game;

// One frame of the intro introStage; a left press or the end of introTimer ends it.
void intro(Game& g);
// One frame of each running burst effect, A then B.
void bursts(Game& g);
// Maybe starts a ghost flight, and runs one frame of a running one.
void ghostflight(Game& g);

}  // namespace mv
