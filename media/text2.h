// SPDX-License-Identifier: GPL-3.0-or-later
// Headlines and numbers in the game's own bitmap font (fontlist1).
#pragma once

#include <string_view>

#include "media/catalogue.h"
#include "media/screen.h"

namespace mv {

// fontlist1 index of a character (A-Z 1..26, 1-9 27..35, 0 36), 0 when it has no glyph.
int glyphIndex(char c);
// Spacing after a character; -1 for characters that keep the spacing before them.
int glyphSpacing(char c);

// Writes `text` with the top-left of its first glyph at (x, y); mode 0 is the 10-pixel gap.
// Returns the pen position after the last character.
int text2(Screen& screen, const Catalogue& cat, int x, int y, std::string_view text, int mode);

}  // namespace mv
