// SPDX-License-Identifier: GPL-3.0-or-later
// Message boxes shown by the program itself: the box of media/message_box.h in one of the
// program's windows, modal until OK is clicked or Return, Space or Esc is pressed. Nothing of
// the system's dialogs or fonts is needed.
#pragma once

#include <SDL.h>

#include <functional>
#include <string>

#include "app/display.h"
#include "media/image.h"
#include "media/message_box.h"
#include "media/screen.h"

namespace mv {

// How a box ended: confirmed, or the program is to end (its window was closed, or the
// program was asked to quit).
enum class BoxEnd { Ok, Quit };

// A window a box shows in.
class BoxView {
 public:
  virtual ~BoxView() = default;
  virtual Uint32 windowId() const = 0;
  // Puts the 800 x 600 picture holding the box (at `box`) on screen; `again` when the window
  // may have lost what it showed.
  virtual void show(const Screen& picture, const BoxRect& box, bool again) = 0;
  // A point of the window's events in picture pixels.
  virtual GamePoint toPicture(int x, int y, const BoxRect& box) const = 0;
  // What the window manager's close of the window means while the box shows.
  virtual BoxEnd onClose() const = 0;
  virtual void toggleFullscreen() {}
  // Events of the window that the box has no use for (focus, visibility, a lost display).
  virtual void other(const SDL_Event&) {}
};

// Shows `text` in a box over `under` until it is confirmed or the program is to end. Keys and
// clicks that were waiting when it came up are dropped, so that nothing meant for the game
// confirms a box the player has not seen. `panel` lends the box its look (selectlist 14).
BoxEnd showMessageBox(BoxView& view, const Screen& under, const Image& panel,
                      const std::string& text);

// A window with a renderer of its own, showing the box unscaled (scaled down if the window is
// smaller) in the middle of whatever `backdrop` draws, black by default.
class WindowBoxView : public BoxView {
 public:
  WindowBoxView(SDL_Window* window, SDL_Renderer* renderer, BoxEnd onClose,
                std::function<void()> backdrop = {});
  ~WindowBoxView() override;
  WindowBoxView(const WindowBoxView&) = delete;
  WindowBoxView& operator=(const WindowBoxView&) = delete;

  Uint32 windowId() const override { return SDL_GetWindowID(window_); }
  void show(const Screen& picture, const BoxRect& box, bool again) override;
  GamePoint toPicture(int x, int y, const BoxRect& box) const override;
  BoxEnd onClose() const override { return onClose_; }
  void other(const SDL_Event& e) override;

 private:
  void makeTexture();
  // Where the box goes in the renderer's output, and its scale.
  SDL_Rect place(const BoxRect& box, double& scale) const;

  SDL_Window* window_;
  SDL_Renderer* renderer_;
  SDL_Texture* texture_ = nullptr;
  BoxEnd onClose_;
  std::function<void()> backdrop_;
};

// Shows `text` in a small window of its own, for when the program has no window to show it in;
// the window manager's close counts as OK. Returns false when no window could be made.
bool showMessageBoxWindow(const Image& panel, const std::string& text);

}  // namespace mv
