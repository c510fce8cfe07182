// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop.h"

#include <string>

namespace mv {

bool displayFound() {
  const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
  if (asked && *asked) return true;
  const char* chosen = SDL_GetCurrentVideoDriver();
  const std::string driver = chosen ? chosen : "";
  return driver != "offscreen" && driver != "dummy";
}

Uint32 eventWindow(const SDL_Event& e) {
  auto orFocus = [](Uint32 id) {
    SDL_Window* focus = SDL_GetKeyboardFocus();
    return id != 0 || !focus ? id : SDL_GetWindowID(focus);
  };
  switch (e.type) {
    case SDL_WINDOWEVENT:
      return e.window.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      return orFocus(e.key.windowID);
    case SDL_TEXTINPUT:
      return orFocus(e.text.windowID);
    case SDL_TEXTEDITING:
      return orFocus(e.edit.windowID);
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      return e.button.windowID;
    case SDL_MOUSEMOTION:
      return e.motion.windowID;
    case SDL_MOUSEWHEEL:
      return e.wheel.windowID;
    default:
      return 0;
  }
}

}  // namespace mv
