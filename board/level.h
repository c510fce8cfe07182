// Starting levels: the level set-up that every level kind goes through, the restart after a loss,
// a new player's first level, dealing the tile boards and filling the starting spider slots.
#pragma once

namespace mv {

struct Game;
struct TileBoard;

// Restarts the current level (after a loss, and at start-up).
void gamereset(Game& g);
// Starts the level given by level and levelType.
void newlevel(Game& g);
// A new player: empty boards, level 1 of kind 1 on background 1, score 0; then gamereset.
void newplayerreset(Game& g);
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
