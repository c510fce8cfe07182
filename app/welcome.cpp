// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/welcome.h"

#include <cstdio>
#include <string>

#include "common/report.h"
#include "media/canvas.h"
#include "media/screen.h"

namespace mv {

bool Twelcomeform::create(const Catalogue& cat) {
  // Made at the size it is maximised to: the first picture goes out before the event loop runs,
  // and a window that grew afterwards would show it misplaced until it is painted again.
  SDL_Rect area{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kPictureW, kPictureH};
  SDL_GetDisplayUsableBounds(0, &area);
  window_ = SDL_CreateWindow("Morvane", area.x, area.y, area.w, area.h,
                             SDL_WINDOW_BORDERLESS | SDL_WINDOW_MAXIMIZED);
  if (!window_) return false;
  renderer_ = SDL_CreateRenderer(window_, -1, 0);
  if (!renderer_) return false;

  // The picture and its version label are composed once in a back buffer and kept as a texture.
  Screen screen;
  TextCanvas canvas(screen);
  screen.drawImage(cat.image(ImageList::welcome, 0), 0, 0, 0);
  canvas.take().setFontColour(0xFFFFFF);
  canvas.setBrushSolid(false);
  canvas.textOut(44, 247, "Version " + std::string(report::kVersion));
  canvas.release();
  picture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STATIC,
                               kPictureW, kPictureH);
  if (!picture_) return false;
  SDL_UpdateTexture(picture_, nullptr, screen.pixels(), kScreenW * sizeof(uint16_t));
  paint();
  return true;
}

Twelcomeform::~Twelcomeform() {
  if (picture_) SDL_DestroyTexture(picture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
}

void Twelcomeform::draw() {
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  const SDL_Rect at{0, 0, kPictureW, kPictureH};
  SDL_RenderCopy(renderer_, picture_, nullptr, &at);
}

void Twelcomeform::paint() {
  draw();
  SDL_RenderPresent(renderer_);
}

BoxEnd Twelcomeform::message(const std::string& text, const Image& panel) {
  std::fprintf(stderr, "morvane: %s\n", text.c_str());
  WindowBoxView view(window_, renderer_, BoxEnd::Quit, [this] { draw(); });
  const BoxEnd end = showMessageBox(view, Screen(), panel, text);
  paint();
  return end;
}

void Twelcomeform::hide() {
  SDL_HideWindow(window_);
}

}  // namespace mv
