// SPDX-License-Identifier: GPL-3.0-or-later
// The Book of Jewels, read from the inventory.
#pragma once

namespace mv {

struct Game;

// Shows book page bookPage; a left press closes it and goes on to the screens below.
void book(Game& g);

}  // namespace mv
