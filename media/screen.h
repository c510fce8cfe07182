// SPDX-License-Identifier: GPL-3.0-or-later
// The 800 x 600 RGB565 back buffer and the image operations that compose a frame on it.
//
// Pixel-centre convention (rotation and scaling): screen pixel (x, y) covers the square
// [x, x+1) x [y, y+1) and is sampled at its centre (x + 0.5, y + 0.5). A picture scaled to
// W x H covers [0, W) x [0, H) in its own frame, its pivot sits at (cx * W, cy * H) and lands on
// the screen point (X, Y), a pixel corner. So an unrotated W x H draw with cx = cy = 0 fills
// exactly the pixels X..X+W-1, and with cx = cy = 0.5 the pixels X-W/2..X-W/2+W-1.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "media/image.h"

namespace mv {

inline constexpr int kScreenW = 800;
inline constexpr int kScreenH = 600;

class Screen {
 public:
  Screen();

  uint16_t* pixels() { return buffer_.data(); }
  const uint16_t* pixels() const { return buffer_.data(); }
  uint16_t pixel(int x, int y) const { return buffer_[static_cast<size_t>(y) * kScreenW + x]; }

  // The display is usable this frame (false while a window has lost its display).
  bool canDraw() const { return canDraw_; }
  void setCanDraw(bool on) { canDraw_ = on; }

  // Whoever presents frames (the window) sets this; headless runs leave it empty.
  void setPresenter(std::function<void(const Screen&)> presenter) {
    presenter_ = std::move(presenter);
  }

  void fillScreen(uint32_t bbggrr);
  void flipScreen();

  void drawImage(const Image& img, int x, int y, int pattern);
  void drawRotated(const Image& img, int x, int y, int w, int h, int pattern, double cx, double cy,
                   int angle);
  void drawRotatedAlpha(const Image& img, int x, int y, int w, int h, int pattern, double cx,
                        double cy, int angle, int alpha);
  void drawRotatedSub(const Image& img, int x, int y, int w, int h, int pattern, double cx,
                      double cy, int angle, int alpha);

  // Blends a solid colour into one pixel with an 8-bit coverage (used by the text canvas).
  void blendPixel(int x, int y, uint16_t colour, int coverage);
  void fillRect(int x, int y, int w, int h, uint16_t colour);

 private:
  enum class Blend { Copy, Alpha, Subtract };
  void drawTransformed(const Image& img, int x, int y, int w, int h, double cx, double cy,
                       int angle, Blend blend, int alpha);

  std::vector<uint16_t> buffer_;
  bool canDraw_ = true;
  std::function<void(const Screen&)> presenter_;
};

// cos(2 * pi * i / 256) in 16.16 fixed point; the sine is the same table read a quarter turn
// earlier.
const std::array<int32_t, 256>& cosineTable();
inline int32_t cos256(int angle) {
  return cosineTable()[angle & 255];
}
inline int32_t sin256(int angle) {
  return cosineTable()[(angle - 64) & 255];
}

}  // namespace mv
