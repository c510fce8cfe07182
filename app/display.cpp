// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/display.h"

#include <algorithm>
#include <cmath>

namespace mv {

GamePoint clampToGame(int x, int y) {
  return {std::clamp(x, 0, kScreenW - 1), std::clamp(y, 0, kScreenH - 1)};
}

GamePoint windowToGame(int x, int y, int outW, int outH) {
  if (outW <= 0 || outH <= 0) return clampToGame(x, y);
  // Fit the whole picture: the tighter of the two ratios sets the scale, the other axis gets
  // bars of equal width on both sides.
  const double wantAspect = static_cast<double>(kScreenW) / kScreenH;
  const double realAspect = static_cast<double>(outW) / outH;
  double scale;
  int offsetX = 0, offsetY = 0;
  if (std::fabs(wantAspect - realAspect) < 0.0001) {
    scale = static_cast<double>(outW) / kScreenW;
  } else if (wantAspect > realAspect) {
    scale = static_cast<double>(outW) / kScreenW;
    offsetY = (outH - static_cast<int>(std::floor(kScreenH * scale))) / 2;
  } else {
    scale = static_cast<double>(outH) / kScreenH;
    offsetX = (outW - static_cast<int>(std::floor(kScreenW * scale))) / 2;
  }
  return clampToGame(static_cast<int>(std::floor((x - offsetX) / scale)),
                     static_cast<int>(std::floor((y - offsetY) / scale)));
}

Display::~Display() {
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
}

bool Display::open() {
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_PRESENTVSYNC);
  vsync_ = renderer_ != nullptr;
  if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, 0);
  if (!renderer_) return false;
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  SDL_RenderSetLogicalSize(renderer_, kScreenW, kScreenH);
  reset();
  return texture_ != nullptr;
}

void Display::reset() {
  shownValid_ = false;
  if (texture_) SDL_DestroyTexture(texture_);
  texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                               kScreenW, kScreenH);
}

bool Display::present(const Screen& screen, uint64_t nowMs) {
  if (!texture_) return false;
  int w = 0, h = 0;
  SDL_GetRendererOutputSize(renderer_, &w, &h);
  const size_t n = static_cast<size_t>(kScreenW) * kScreenH;
  if (shownValid_ && w == shownW_ && h == shownH_ && nowMs < shownAt_ + kRefreshMs &&
      std::equal(shown_.begin(), shown_.end(), screen.pixels()))
    return false;
  shown_.assign(screen.pixels(), screen.pixels() + n);
  shownW_ = w;
  shownH_ = h;
  shownAt_ = nowMs;
  shownValid_ = true;
  SDL_UpdateTexture(texture_, nullptr, screen.pixels(), kScreenW * sizeof(uint16_t));
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
  return true;
}

void Display::toggleFullscreen() {
  shownValid_ = false;
  const bool full = SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP;
  SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
  if (full) {
    SDL_SetWindowSize(window_, kScreenW, kScreenH);
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  }
}

GamePoint Display::cursor() const {
  int x = 0, y = 0, w = 0, h = 0;
  SDL_GetMouseState(&x, &y);
  SDL_GetWindowSize(window_, &w, &h);
  return windowToGame(x, y, w, h);
}

}  // namespace mv
