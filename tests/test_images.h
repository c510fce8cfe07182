// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures built in memory for tests.
#pragma once

#include <vector>

#include "media/image.h"

namespace mv::test {

inline constexpr uint16_t kRed = 0xF800, kGreen = 0x07E0, kBlue = 0x001F, kWhite = 0xFFFF;

// w x h filled with `colour`.
inline Image solid(int w, int h, uint16_t colour, bool transparent = true, uint32_t key = 0) {
  return Image::fromPixels(w, h, std::vector<uint16_t>(static_cast<size_t>(w) * h, colour),
                           transparent, key);
}

// Builds a picture from rows of characters: '.' key black, 'R' red, 'G' green, 'B' blue,
// 'W' white.
inline Image fromRows(const std::vector<const char*>& rows, bool transparent = true,
                      uint32_t key = 0) {
  const int h = static_cast<int>(rows.size());
  int w = 0;
  while (rows[0][w]) ++w;
  std::vector<uint16_t> px;
  for (const char* r : rows)
    for (int x = 0; x < w; ++x)
      px.push_back(r[x] == 'R'   ? kRed
                   : r[x] == 'G' ? kGreen
                   : r[x] == 'B' ? kBlue
                   : r[x] == 'W' ? kWhite
                                 : 0);
  return Image::fromPixels(w, h, std::move(px), transparent, key);
}

}  // namespace mv::test
