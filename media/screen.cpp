// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/screen.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace mv {

Screen::Screen() : buffer_(static_cast<size_t>(kScreenW) * kScreenH, 0) {}

void Screen::fillScreen(uint32_t bbggrr) {
  std::fill(buffer_.begin(), buffer_.end(), toRgb565(bbggrr));
}

void Screen::flipScreen() {
  if (presenter_) presenter_(*this);
}

void Screen::drawImage(const Image& img, int x, int y, int pattern) {
  if (pattern != 0 || img.empty()) return;
  const int y0 = std::max(y, 0), y1 = std::min(y + img.h, kScreenH);
  const int x0 = std::max(x, 0), x1 = std::min(x + img.w, kScreenW);
  if (x0 >= x1 || y0 >= y1) return;
  for (int sy = y0; sy < y1; ++sy) {
    const int row = sy - y;
    uint16_t* dst = &buffer_[static_cast<size_t>(sy) * kScreenW];
    const uint16_t* src = &img.pixels[static_cast<size_t>(row) * img.w];
    if (!img.transparent) {
      std::memcpy(dst + x0, src + (x0 - x), sizeof(uint16_t) * (x1 - x0));
      continue;
    }
    for (uint32_t s = img.rowFirstSpan[row]; s < img.rowFirstSpan[row + 1]; ++s) {
      const int a = std::max(x + img.spans[s].start, x0);
      const int b = std::min(x + img.spans[s].start + img.spans[s].length, x1);
      if (a < b) std::memcpy(dst + a, src + (a - x), sizeof(uint16_t) * (b - a));
    }
  }
}

void Screen::blendPixel(int x, int y, uint16_t colour, int coverage) {
  if (x < 0 || y < 0 || x >= kScreenW || y >= kScreenH || coverage <= 0) return;
  uint16_t& d = buffer_[static_cast<size_t>(y) * kScreenW + x];
  if (coverage >= 255) {
    d = colour;
    return;
  }
  constexpr uint32_t kMask = 0x07E0F81F;
  const uint32_t a = (static_cast<uint32_t>(coverage) + 4) >> 3;
  const uint32_t fg = (colour | (static_cast<uint32_t>(colour) << 16)) & kMask;
  const uint32_t bg = (d | (static_cast<uint32_t>(d) << 16)) & kMask;
  const uint32_t r = ((((fg - bg) * a) >> 5) + bg) & kMask;
  d = static_cast<uint16_t>(r | (r >> 16));
}

void Screen::fillRect(int x, int y, int w, int h, uint16_t colour) {
  const int x0 = std::max(x, 0), x1 = std::min(x + w, kScreenW);
  const int y0 = std::max(y, 0), y1 = std::min(y + h, kScreenH);
  for (int sy = y0; sy < y1; ++sy)
    std::fill_n(&buffer_[static_cast<size_t>(sy) * kScreenW + x0], std::max(x1 - x0, 0), colour);
}

const std::array<int32_t, 256>& cosineTable() {
  static const std::array<int32_t, 256> table = [] {
    std::array<int32_t, 256> t{};
    for (int i = 0; i < 256; ++i)
      t[i] = static_cast<int32_t>(std::lround(std::cos(2.0 * M_PI * i / 256.0) * 65536.0));
    return t;
  }();
  return table;
}

}  // namespace mv
