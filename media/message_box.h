// SPDX-License-Identifier: GPL-3.0-or-later
// The game's own message box: a framed panel with the text wrapped to fit and an OK button,
// drawn into an 800 x 600 picture in the look of the game's panels. It needs nothing but the
// embedded font, and the panel picture when the catalogue has one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "media/canvas.h"
#include "media/image.h"
#include "media/screen.h"

namespace mv {

struct BoxRect {
  int x = 0, y = 0, w = 0, h = 0;
  bool contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

struct MessageBoxLayout {
  struct Line {
    int x = 0, y = 0;
    std::string text;
  };
  BoxRect box;     // the whole box, its frame included
  BoxRect button;  // the OK button
  std::vector<Line> lines;
};

// The picture the box takes its look from: selectlist's name entry panel.
inline constexpr int kBoxPanel = 14;

// The box's text size and its measures, in picture pixels.
inline constexpr int kBoxFontPixels = 13;
inline constexpr int kBoxFrame = 10;                  // wood and gold line, as the panels'
inline constexpr int kBoxPadX = 22, kBoxPadTop = 18;  // inside the frame
inline constexpr int kBoxTextMaxW = 420, kBoxTextMinW = 200;
inline constexpr int kBoxButtonW = 54, kBoxButtonH = 42;
inline constexpr int kBoxButtonGap = 14, kBoxButtonBottom = 9;  // above and below the button
inline constexpr int kBoxScreenMargin = 20;                     // kept clear around the box

// Where the box, its lines and its button go for `text` in the font of `canvas` (a canvas at
// kBoxFontPixels): centred on the picture, the text wrapped to at most kBoxTextMaxW pixels. A
// text too long for the picture is cut at the last line that fits, which then ends in "...".
MessageBoxLayout layoutMessageBox(std::string_view text, TextCanvas& canvas);

// Draws the box of `layout` onto `screen` with `canvas` (a canvas of `screen` at
// kBoxFontPixels). `panel` is the name entry panel (selectlist 14), whose frame, background and
// OK button the box is made of; an empty or odd-sized picture gives the same box drawn plainly.
// A pressed button is drawn darker.
void drawMessageBox(Screen& screen, TextCanvas& canvas, const MessageBoxLayout& layout,
                    const Image& panel, bool pressed);

}  // namespace mv
