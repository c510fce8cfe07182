// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/input.h"

#include "state/game.h"

namespace mv {

bool inInventoryPanel(const Game& g) {
  return g.inventoryOpen && g.bookPage == 0 && g.mouseX > g.inventoryPanelX &&
         g.mouseY > g.inventoryPanelY && g.mouseY < g.inventoryPanelY + 400;
}

bool inCharmPanel(const Game& g) {
  return g.charmOpen && !g.menuOpen && g.bookPage == 0 && g.mouseX > 300 && g.mouseX < 500 &&
         g.mouseY > 270 && g.mouseY < 370;
}

void DXDrawMouseDown(Game& g, MouseButton button, int x, int y) {
  g.mouseX = x;
  g.mouseY = y;
  if (button == MouseButton::Left) g.mouseButton = kLeft;
  if (button == MouseButton::Right) g.mouseButton = kRight;
  g.mouseEdge = "down";
  if (button == MouseButton::Other) return;
  const int panelCode = button == MouseButton::Left ? kPanelLeft : kPanelRight;
  if (inInventoryPanel(g)) g.mouseButton = panelCode;
  if (inCharmPanel(g)) g.mouseButton = panelCode;
}

void DXDrawMouseUp(Game& g) {
  g.mouseButton = kNoClick;
  g.mouseEdge = "up";
}

void FormKeyDown(Game& g, int key) {
  if (key != kKeyEscape) return;
  g.menuOpen = !g.menuOpen;
  g.optionsOpen = false;
}

void Timer1Timer(Game& g) {
  if (g.bookPage != 0 || g.levelComplete || g.menuOpen || g.playerSelectOpen || g.nameEntryOpen ||
      g.instructionsOpen)
    return;
  if (g.freezeTimer > 0) --g.freezeTimer;
  if (g.freezeTimer == 0 && g.timeLeft > 0) --g.timeLeft;
}

}  // namespace mv
