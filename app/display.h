// SPDX-License-Identifier: GPL-3.0-or-later
// The game's 800 x 600 picture on a modern desktop: desktop full screen (no video mode switch),
// scaled to fit with black bars, or a window; the back buffer goes up as a streaming texture.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

#include "media/screen.h"

namespace mv {

struct GamePoint {
  int x = 0, y = 0;
};

// A point in an output of outW x outH pixels that shows the 800 x 600 picture scaled to fit and
// centred between black bars, mapped back to game pixels and kept inside 0..799, 0..599.
// The scaling is the one the renderer uses for its logical size, so the polled cursor and the
// mouse events (which the renderer maps itself) agree.
GamePoint windowToGame(int x, int y, int outW, int outH);
// Keeps a point inside the game picture (presses on the black bars land on its edge).
GamePoint clampToGame(int x, int y);

class Display {
 public:
  explicit Display(SDL_Window* window) : window_(window) {}
  ~Display();
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  // Creates the renderer (with vsync if it can be had) and the texture. False with SDL's error
  // when no renderer at all can be made.
  bool open();
  bool isOpen() const { return texture_ != nullptr; }
  bool vsync() const { return vsync_; }
  // Makes the texture again after the device lost it.
  void reset();

  // Shows the back buffer at `nowMs`; true when it went to the screen. A frame identical to the
  // one on screen, on an output of the same size, is sent again only when kRefreshMs have passed
  // since it last was: a still screen such as the menu costs next to nothing, and a screen the
  // window system showed wrong still comes right (a window still growing to full screen when
  // the frame went out, or a driver that takes the new size only with the next frame).
  // invalidate() forces the next one through, for whatever else may have changed what the
  // screen shows (the window uncovered or shown again).
  static constexpr uint64_t kRefreshMs = 200;
  bool present(const Screen& screen, uint64_t nowMs);
  void invalidate() { shownValid_ = false; }
  void toggleFullscreen();
  // The system cursor in game pixels.
  GamePoint cursor() const;

 private:
  SDL_Window* window_;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  bool vsync_ = false;
  std::vector<uint16_t> shown_;  // the frame on screen
  int shownW_ = 0, shownH_ = 0;  // the output size it was shown at
  uint64_t shownAt_ = 0;
  bool shownValid_ = false;
};

}  // namespace mv
