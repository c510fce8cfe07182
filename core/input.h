// SPDX-License-Identifier: GPL-3.0-or-later
// The game window's input events and its one-second level clock. Events only record the mouse
// state; the next frame reads it. Esc is the one key that changes a screen directly.
#pragma once

namespace mv {

struct Game;

enum class MouseButton { Left, Right, Other };

inline constexpr int kKeyEscape = 27;

// A press at (x, y) in game coordinates: records the position and the click code.
void DXDrawMouseDown(Game& g, MouseButton button, int x, int y);
// Any release ends the click.
void DXDrawMouseUp(Game& g);
// Keys seen by the game window before anything else; Esc toggles the main menu.
void FormKeyDown(Game& g, int key);
// The level clock, once a second.
void Timer1Timer(Game& g);

// Whether a press at the current mouse position falls inside an open inventory or Spider Charm
// panel, which turns a left or right click into the panel's own code.
bool inInventoryPanel(const Game& g);
bool inCharmPanel(const Game& g);

}  // namespace mv
