// Which player names a report may carry: exactly the names the game's name entry can produce.
#pragma once

#include <string>
#include <string_view>

namespace scores {

inline constexpr int kNameLength = 12;  // characters, not bytes

// `text` with every byte that is not part of valid UTF-8 replaced by U+FFFD, so that a page
// built from whatever a store holds is always valid UTF-8.
std::string validUtf8(std::string_view text);

// Why the game could not have typed `name`, or an empty string when it could have: 1 to 12
// printable characters of any script, no lower-case a-z (the game upper-cases them), no space,
// separator, control or invisible formatting character, none of / \ : * ? " < > |, not dots
// only, and not a reserved device name or the player list's own name.
std::string nameRefusal(std::string_view name);

}  // namespace scores
