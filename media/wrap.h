// SPDX-License-Identifier: GPL-3.0-or-later
// Breaking a text into lines that fit a width in pixels, for texts the game lays out itself.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// The pixel width of a piece of text, as the font that will draw it counts it.
using TextMeasure = std::function<int(std::string_view)>;

// Breaks `text` into lines no wider than `width` as `measure` counts them. Lines break at the
// spaces between words (a run of spaces is one break, and spaces at a line's ends are dropped)
// and at every line break of the text; a word wider than a whole line is broken between two
// characters, never inside a UTF-8 character, and after a separator of an address (/ - . ? & =
// _) when one lies in the second half of the line. A line holds at least one character, so only a
// single character wider than `width` can overflow. An empty text gives no lines; an empty line
// of the text gives an empty line.
std::vector<std::string> wrapText(std::string_view text, int width, const TextMeasure& measure);

}  // namespace mv
