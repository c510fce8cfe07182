// The player list: the options, the current player and five player slots in gamenames.dat in the
// working directory, and a new player's name typed on the keyboard.
#pragma once

#include <string>

#include "profiles/names.h"

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

// Enters the typed name as a new player in the first free slot, with a fresh game saved under
// it. A name that cannot be a file name, that is already listed, or that finds no free slot is
// refused with a beep and nothing changes. True when the player was added.
bool addtogamelist(Game& g);

// Typed characters (code points) while the name-entry screen is open: Enter adds the player,
// Backspace removes the last character, and up to 12 name characters of any script are taken,
// a-z upper-cased. Spaces, characters a file name cannot hold and characters the text canvas
// has no picture for are refused with a beep.
void FormKeyPress(Game& g, int key);

}  // namespace mv
