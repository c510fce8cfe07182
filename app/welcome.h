// SPDX-License-Identifier: GPL-3.0-or-later
// The welcome window: borderless, black, maximised, with the welcome picture at its top-left and
// the version label on it. A click on the picture starts the game; Esc ends the program.
#pragma once

#include <SDL.h>

#include <string>

#include "app/message_box.h"
#include "media/catalogue.h"

namespace mv {

class Twelcomeform {
 public:
  static constexpr int kPictureW = 400, kPictureH = 300;

  // Creates and shows the window. False with SDL's error if it cannot be made.
  bool create(const Catalogue& cat);
  ~Twelcomeform();

  Uint32 windowId() const { return window_ ? SDL_GetWindowID(window_) : 0; }
  SDL_Window* window() const { return window_; }
  // Draws the picture and the label (again after the window was uncovered).
  void paint();
  // Writes `text` on stderr and shows it in a message box over the window. Closing the window
  // meanwhile ends the program, as it always does.
  BoxEnd message(const std::string& text, const Image& panel);
  void hide();
  // A left-button release at (x, y) of the window lies on the picture.
  static bool onPicture(int x, int y) { return x >= 0 && y >= 0 && x < kPictureW && y < kPictureH; }

 private:
  void draw();

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* picture_ = nullptr;
};

}  // namespace mv
