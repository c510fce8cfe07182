// SPDX-License-Identifier: GPL-3.0-or-later
// Dealing a level's tiles and spiders: the tile boards with no ready-made run, a fresh tile's
// colour, and the spider slots filled at a level start.
#pragma once

namespace mv {

struct Game;
struct TileBoard;

// Deals both tile boards with no ready-made run of three.
void settiles(Game& g);
// Fills spider slot `slot` for a level start with colour 1..4, or a random colour for 0. Returns
// the spider's first animation frame.
int spawn(Game& g, int slot, int colour);

// A dealt tile's colour: 1..5, with fewer skulls in the easier game.
int freshTileColour(Game& g);
// Redeals every tile (colour below 6) that starts a run of three across or down until a whole
// pass over the cols x rows grid finds none; clears the grid's converted flags on the way.
void removeReadyRuns(Game& g, TileBoard& b, int cols, int rows);

}  // namespace mv
