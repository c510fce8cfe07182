// The text canvas of the back buffer: a small proportional font (DejaVu Sans at 9 pixels, an
// 11-pixel line) blended into the 16-bit picture, with a clear or solid brush.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "media/screen.h"

namespace mv {

class TextCanvas {
 public:
  static constexpr int kLineHeight = 11;

  explicit TextCanvas(Screen& screen);
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

 private:
  struct Glyph {
    int w = 0, h = 0, advance = 0;
    std::vector<uint8_t> coverage;  // w * h
    bool ready = false;
  };
  const Glyph& glyph(unsigned char c);

  Screen& screen_;
  bool solid_ = false;
  uint16_t colour_ = 0xFFFF;
  void* font_ = nullptr;  // TTF_Font
  std::array<Glyph, 256> glyphs_;
};

}  // namespace mv
