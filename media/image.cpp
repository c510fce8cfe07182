// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/image.h"

namespace mv {

Image Image::fromPixels(int w, int h, std::vector<uint16_t> pixels, bool transparent,
                        uint32_t keyColour) {
  Image img;
  img.w = w;
  img.h = h;
  img.pixels = std::move(pixels);
  img.transparent = transparent;
  img.keyColour = keyColour;
  img.indexSpans();
  return img;
}

void Image::indexSpans() {
  spans.clear();
  rowFirstSpan.assign(static_cast<std::size_t>(h) + 1, 0);
  if (empty()) return;
  const uint16_t key = key565();
  for (int y = 0; y < h; ++y) {
    rowFirstSpan[y] = static_cast<uint32_t>(spans.size());
    const uint16_t* row = &pixels[static_cast<std::size_t>(y) * w];
    int x = 0;
    while (x < w) {
      while (x < w && row[x] == key) ++x;
      const int start = x;
      while (x < w && row[x] != key) ++x;
      if (x > start)
        spans.push_back({static_cast<uint16_t>(start), static_cast<uint16_t>(x - start)});
    }
  }
  rowFirstSpan[h] = static_cast<uint32_t>(spans.size());
}

}  // namespace mv
