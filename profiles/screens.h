// The two screens of the player list: choosing a player, and typing a new player's name.
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

}  // namespace mv
