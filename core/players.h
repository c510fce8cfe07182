// SPDX-License-Identifier: GPL-3.0-or-later
// The two screens of the player list, choosing a player and typing a new player's name, with the
// keys of name entry. Both start a level, so they sit above level set-up.
#pragma once

namespace mv {

struct Game;

// The player list under "[ Create New Name ]": choosing a listed player loads that player and
// starts a level; the first line opens name entry; back returns to the main menu.
void playerselect(Game& g);
// Name entry: the typed name with its blinking cursor, OK to add the player, back to the list.
void nameentry(Game& g);
// Writes the typed name and its blinking cursor.
void textinput(Game& g);

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
