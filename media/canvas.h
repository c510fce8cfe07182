// SPDX-License-Identifier: GPL-3.0-or-later
// The text canvas of the back buffer: a small proportional font (DejaVu Sans at 9 pixels, an
// 11-pixel line) blended into the 16-bit picture, with a clear or solid brush. Text is UTF-8; a
// byte that starts no UTF-8 character is drawn as the Latin-1 character it would be. The same
// font at another size serves the message boxes.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "media/screen.h"

namespace mv {

class TextCanvas {
 public:
  static constexpr int kLineHeight = 11;

  explicit TextCanvas(Screen& screen);
  // The font at `pixels`, its line as high as the font's.
  TextCanvas(Screen& screen, int pixels);
  ~TextCanvas();
  TextCanvas(const TextCanvas&) = delete;
  TextCanvas& operator=(const TextCanvas&) = delete;

  // Take and release bracket a run of text output between image draws.
  TextCanvas& take() { return *this; }
  void release() {}

  // Solid fills each line's box with the brush colour (white) behind the text.
  void setBrushSolid(bool solid) { solid_ = solid; }
  void setFontColour(uint32_t bbggrr) { colour_ = toRgb565(bbggrr); }
  void textOut(int x, int y, std::string_view text);
  int textWidth(std::string_view text);
  int lineHeight() const { return lineHeight_; }
  // Whether the font has a picture for character `c`.
  bool canDraw(char32_t c) const;

 private:
  struct Glyph {
    int w = 0, h = 0, advance = 0;
    std::vector<uint8_t> coverage;  // w * h
    bool ready = false;
  };
  const Glyph& glyph(char32_t c);
  // The character at `at` of `text`, moving `at` past it.
  static char32_t next(std::string_view text, size_t& at);

  Screen& screen_;
  bool solid_ = false;
  uint16_t colour_ = 0xFFFF;
  void* font_ = nullptr;  // TTF_Font
  int lineHeight_ = kLineHeight;
  std::array<Glyph, 256> glyphs_;                   // Latin-1, the game's own texts
  std::unordered_map<char32_t, Glyph> moreGlyphs_;  // letters of other scripts in names
};

}  // namespace mv
