// SPDX-License-Identifier: GPL-3.0-or-later
// One picture of the catalogue, held in the screen's 16-bit RGB565 format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mv {

// Converts a 0xBBGGRR colour to RGB565 by dropping the low bits of each channel,
// the same rounding the loader applies to the pictures.
constexpr uint16_t toRgb565(uint32_t bbggrr) {
  const uint32_t r = bbggrr & 0xFF, g = (bbggrr >> 8) & 0xFF, b = (bbggrr >> 16) & 0xFF;
  return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

// A horizontal run of pixels that are not the key colour.
struct Span {
  uint16_t start;
  uint16_t length;
};

struct Image {
  int w = 0;
  int h = 0;
  std::vector<uint16_t> pixels;  // w * h, row by row
  bool transparent = true;       // read at each draw; may be switched while the game runs
  uint32_t keyColour = 0;        // 0xBBGGRR

  // Per row, the runs of pixels that differ from the key: lets a keyed copy be a few memcpys.
  std::vector<Span> spans;
  std::vector<uint32_t> rowFirstSpan;  // h + 1 entries into spans

  bool empty() const { return w <= 0 || h <= 0 || pixels.empty(); }
  uint16_t key565() const { return toRgb565(keyColour); }
  uint16_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * w + x]; }

  // Builds an image from RGB565 pixels and indexes its opaque runs.
  static Image fromPixels(int w, int h, std::vector<uint16_t> pixels, bool transparent,
                          uint32_t keyColour);
  void indexSpans();
};

}  // namespace mv
