// SPDX-License-Identifier: GPL-3.0-or-later
// The rules for players' names, kept in UTF-8: which characters name entry takes, which names can
// name a save file, and why a name could not have come from name entry. Plain C++, so the score
// server checks the names in its reports by the same rules.
#pragma once

#include <string>
#include <string_view>

namespace mv {

inline constexpr int kNameLength = 12;  // characters, not bytes

// Whether character `c` may be part of a player's name: a character of any script other than
// control and invisible formatting characters, the file systems' separators and wildcards, and
// values that are no character at all.
bool safeNameCharacter(char32_t c);
// Spaces and line or paragraph separators of every script: names hold none.
bool nameSpace(char32_t c);
// Name entry upper-cases a-z and keeps every other character as it is.
char32_t upperCased(char32_t c);

// Whether `name` can name a save file safely: only safe name characters, not only dots, not a
// device name and not the player list's own name. The empty name (no player listed) is allowed
// and names ".dat".
bool safePlayerName(std::string_view name);

// Why name entry could not have produced `name`, or an empty text when it could have: 1 to 12
// safe name characters, no space and no lower-case a-z, and a safe player name. (The game also
// refuses characters its font cannot draw, which only the game itself can tell.)
std::string nameRefusal(std::string_view name);

}  // namespace mv
