// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/message_box.h"

#include <algorithm>
#include <cmath>

#include "app/desktop.h"
#include "media/canvas.h"

namespace mv {
namespace {

// How long the box waits for an event before it shows its picture again.
constexpr int kIdleMs = 100;

bool confirmKey(const SDL_Keysym& k) {
  if (k.mod & KMOD_ALT) return false;
  return k.sym == SDLK_RETURN || k.sym == SDLK_KP_ENTER || k.sym == SDLK_SPACE ||
         k.sym == SDLK_ESCAPE;
}

}  // namespace

BoxEnd showMessageBox(BoxView& view, const Screen& under, const Image& panel,
                      const std::string& text) {
  Screen picture;
  std::copy_n(under.pixels(), static_cast<size_t>(kScreenW) * kScreenH, picture.pixels());
  TextCanvas canvas(picture, kBoxFontPixels);
  const MessageBoxLayout layout = layoutMessageBox(text, canvas);
  const BoxRect& box = layout.box;
  // The button is drawn pressed while the left button, pressed on it, is held over it.
  bool held = false, over = false;
  drawMessageBox(picture, canvas, layout, panel, false);

  SDL_FlushEvents(SDL_KEYDOWN, SDL_MOUSEWHEEL);
  view.show(picture, box, true);
  const Uint32 id = view.windowId();
  for (;;) {
    SDL_Event e;
    if (!SDL_WaitEventTimeout(&e, kIdleMs)) {
      view.show(picture, box, false);
      continue;
    }
    const bool pressedBefore = held && over;
    bool again = false;
    const Uint32 to = eventWindow(e);
    switch (e.type) {
      case SDL_QUIT:
        return BoxEnd::Quit;
      case SDL_WINDOWEVENT:
        if (to != id) break;
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) return view.onClose();
        view.other(e);
        again = true;
        break;
      case SDL_RENDER_TARGETS_RESET:
      case SDL_RENDER_DEVICE_RESET:
        view.other(e);
        again = true;
        break;
      case SDL_KEYDOWN:
        if (to != id || e.key.repeat) break;
        if (confirmKey(e.key.keysym)) return BoxEnd::Ok;
        if ((e.key.keysym.sym == SDLK_RETURN || e.key.keysym.sym == SDLK_KP_ENTER) &&
            (e.key.keysym.mod & KMOD_ALT)) {
          view.toggleFullscreen();
          again = true;
        }
        break;
      case SDL_MOUSEBUTTONDOWN:
        if (to != id || e.button.button != SDL_BUTTON_LEFT) break;
        {
          const GamePoint p = view.toPicture(e.button.x, e.button.y, box);
          held = over = layout.button.contains(p.x, p.y);
        }
        break;
      case SDL_MOUSEMOTION:
        if (to != id || !held) break;
        {
          const GamePoint p = view.toPicture(e.motion.x, e.motion.y, box);
          over = layout.button.contains(p.x, p.y);
        }
        break;
      case SDL_MOUSEBUTTONUP:
        if (to != id || e.button.button != SDL_BUTTON_LEFT) break;
        {
          const GamePoint p = view.toPicture(e.button.x, e.button.y, box);
          if (held && layout.button.contains(p.x, p.y)) return BoxEnd::Ok;
          held = over = false;
        }
        break;
      default:
        break;
    }
    if ((held && over) != pressedBefore)
      drawMessageBox(picture, canvas, layout, panel, held && over);
    view.show(picture, box, again);
  }
}

WindowBoxView::WindowBoxView(SDL_Window* window, SDL_Renderer* renderer, BoxEnd onClose,
                             std::function<void()> backdrop)
    : window_(window), renderer_(renderer), onClose_(onClose), backdrop_(std::move(backdrop)) {
  makeTexture();
}

WindowBoxView::~WindowBoxView() {
  if (texture_) SDL_DestroyTexture(texture_);
}

void WindowBoxView::makeTexture() {
  if (texture_) SDL_DestroyTexture(texture_);
  texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                               kScreenW, kScreenH);
}

void WindowBoxView::other(const SDL_Event& e) {
  // A lost device took the texture with it.
  if (e.type == SDL_RENDER_DEVICE_RESET) makeTexture();
}

SDL_Rect WindowBoxView::place(const BoxRect& box, double& scale) const {
  int w = 0, h = 0;
  SDL_GetRendererOutputSize(renderer_, &w, &h);
  scale = std::min({1.0, static_cast<double>(w) / box.w, static_cast<double>(h) / box.h});
  const int dw = static_cast<int>(std::lround(box.w * scale));
  const int dh = static_cast<int>(std::lround(box.h * scale));
  return {(w - dw) / 2, (h - dh) / 2, dw, dh};
}

void WindowBoxView::show(const Screen& picture, const BoxRect& box, bool) {
  if (!texture_) return;
  const SDL_Rect src{box.x, box.y, box.w, box.h};
  SDL_UpdateTexture(texture_, &src, picture.pixels() + box.y * kScreenW + box.x,
                    kScreenW * sizeof(uint16_t));
  if (backdrop_) {
    backdrop_();
  } else {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
  }
  double scale = 1;
  const SDL_Rect dst = place(box, scale);
  SDL_RenderCopy(renderer_, texture_, &src, &dst);
  SDL_RenderPresent(renderer_);
}

GamePoint WindowBoxView::toPicture(int x, int y, const BoxRect& box) const {
  // Events come in window points, which a high-density output has fewer of than pixels.
  int ww = 0, wh = 0, ow = 0, oh = 0;
  SDL_GetWindowSize(window_, &ww, &wh);
  SDL_GetRendererOutputSize(renderer_, &ow, &oh);
  const double px = ww > 0 ? static_cast<double>(x) * ow / ww : x;
  const double py = wh > 0 ? static_cast<double>(y) * oh / wh : y;
  double scale = 1;
  const SDL_Rect dst = place(box, scale);
  return {box.x + static_cast<int>(std::floor((px - dst.x) / scale)),
          box.y + static_cast<int>(std::floor((py - dst.y) / scale))};
}

bool showMessageBoxWindow(const Image& panel, const std::string& text) {
  BoxRect box;
  {
    Screen scratch;
    TextCanvas canvas(scratch, kBoxFontPixels);
    box = layoutMessageBox(text, canvas).box;
  }
  SDL_Window* window = SDL_CreateWindow("Morvane", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                        box.w, box.h, SDL_WINDOW_SHOWN);
  if (!window) return false;
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
  if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  if (renderer) {
    WindowBoxView view(window, renderer, BoxEnd::Ok);
    SDL_RaiseWindow(window);
    showMessageBox(view, Screen(), panel, text);
  }
  if (renderer) SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
  return renderer != nullptr;
}

}  // namespace mv
