// SPDX-License-Identifier: GPL-3.0-or-later
// The player list: the options, the current player and five player slots in gamenames.dat in the
// working directory, and a new player's name typed on the keyboard.
#pragma once

#include <string>

#include "common/names.h"

namespace mv {

struct Game;

inline constexpr const char* kPlayerListFile = "gamenames.dat";
inline constexpr int kPlayerSlots = 5;
// The current player of the list delivered with the game: the first start asks for a name.
inline constexpr const char* kNewPlayerName = "GUEST";

// Reads the list: four option lines (0 turns an option off, any other number leaves it), the
// current player and the five slots. A missing file changes nothing; a failed read keeps the
// values still to come.
bool loadgamenames(Game& g);
// Writes the list whole from the current state, unless its reading broke off in this run.
bool savegamenames(Game& g);
// Writes the list delivered with the game unless the working directory holds one already: all
// options on, kNewPlayerName as the current player and five free slots. True when a list is there.
bool seedgamenames();

// The typed name: the used cells joined in order.
std::string typedCells(const Game& g);

// The free slot a new player of this name would take: 0 when the name cannot be a file name, is
// listed already (letters compared without case), or no slot is free.
int newPlayerSlot(const Game& g, const std::string& name);

}  // namespace mv
