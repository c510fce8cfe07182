// SPDX-License-Identifier: GPL-3.0-or-later
// Steps of the voodoo box's frame that work on the box itself.
#pragma once

#include "puzzles/voodoo.h"

namespace mv {

// Scans the box cells row by row: draws the empty faces, runs the payout of the first queued
// cell, and takes a held piece let go near a corner.
void scanbox(Game& g);
// Recounts the covered box cells and the marks lying on them.
void rebuildbox(Game& g);
// Judges the box once: the seconds left are paid, and every line of three equal skulls across
// or down is queued to burst and priced.
void judgebox(Game& g);

}  // namespace mv
