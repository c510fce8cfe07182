// SPDX-License-Identifier: GPL-3.0-or-later
// UTF-8, the encoding of every text the game keeps: names typed on the keyboard, the player list
// and the save file names (and of the names the score server keeps).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mv {

// What a byte that starts no valid UTF-8 character reads as.
inline constexpr char32_t kNotUtf8 = 0xFFFD;

// The character starting at `at`, moving `at` past it. A malformed, overlong, cut-short or
// out-of-range sequence, or an encoded surrogate, reads as kNotUtf8 and moves on by one byte.
char32_t nextCodePoint(std::string_view text, size_t& at);

// `c` in UTF-8; empty for a value that is no character.
std::string utf8(char32_t c);

// The characters of `text` into `out`; false when some byte starts no valid UTF-8 character.
bool decodeUtf8(std::string_view text, std::u32string& out);
// `text` with every byte that starts no valid UTF-8 character replaced by U+FFFD, so whatever a
// text held comes out as valid UTF-8.
std::string validUtf8(std::string_view text);

}  // namespace mv
