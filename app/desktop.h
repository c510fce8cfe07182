// SPDX-License-Identifier: GPL-3.0-or-later
// What the program needs to know of the desktop around it: whether there is a display to show
// the game on, and which window an event belongs to.
#pragma once

#include <SDL.h>

namespace mv {

// False when SDL, left to choose, fell back to a video driver that shows nothing (no desktop
// session). A driver named in SDL_VIDEODRIVER is the caller's choice and always counts.
bool displayFound();

// The window an event belongs to (0 for none); keys and text that name no window belong to the
// window with the keyboard focus.
Uint32 eventWindow(const SDL_Event& e);

}  // namespace mv
