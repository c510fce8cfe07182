// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/players.h"

#include "core/level.h"
#include "profiles/players.h"
#include "profiles/savefile.h"
#include "state/game.h"

namespace mv {
namespace {

bool leftPressIn(const Game& g, int x0, int x1, int y0, int y1) {
  return g.mouseButton == kLeft && inside(g.mouseX, x0, x1) && inside(g.mouseY, y0, y1);
}

// Both screens share their back button.
bool backPressed(const Game& g) {
  return leftPressIn(g, 430, 590, 450, 500);
}

constexpr int kListX = 330, kListY = 350, kLineStep = 12;

// Writes line 0 ("[ Create New Name ]") and the five slots; the line under the cursor shows
// black on white, and a left press there chooses it. Returns the chosen line or -1.
int playerLines(Game& g) {
  int chosen = -1;
  TextCanvas& c = g.canvas.take();
  for (int i = 0; i <= kPlayerSlots; ++i) {
    const int top = kListY + i * kLineStep;
    const bool hovered =
        inside(g.mouseX, kListX, kListX + 120) && inside(g.mouseY, top, top + kLineStep);
    c.setBrushSolid(hovered);
    c.setFontColour(hovered ? 0x000000 : 0xFFFFFF);
    c.textOut(kListX, top, i == 0 ? g.createNameLabel : g.playerList[i]);
    if (hovered && g.mouseButton == kLeft) {
      chosen = i;
      g.mouseButton = kNoClick;
    }
  }
  c.setBrushSolid(false);
  c.release();
  return chosen;
}

void choose(Game& g, int line) {
  if (line == 0) {
    g.playerSelectOpen = false;
    g.nameEntryOpen = true;
    return;
  }
  if (line < 1 || g.playerList[line].empty()) return;
  g.playerName = g.playerList[line];
  savegamenames(g);
  loadgamedata(g, g.playerName);
  newlevel(g);
  g.playerSelectOpen = false;
  g.menuOpen = true;
}

void currentPlayerLine(Game& g) {
  if (g.playerName == "[NONE]") return;
  TextCanvas& c = g.canvas.take();
  c.setBrushSolid(false);
  c.setFontColour(0x00FF00);
  c.textOut(340, 540, "[ Current Player is " + g.playerName + " ]");
  c.release();
}

void screenPictures(Game& g, int panel) {
  g.screen.drawImage(g.image(ImageList::selectlist, 4), 50, 0, 0);
  g.screen.drawImage(g.image(ImageList::selectlist, panel), 255, 275, 0);
}

constexpr int kEnter = 13, kEscape = 27, kBackspace = 8;

}  // namespace

void playerselect(Game& g) {
  screenPictures(g, 13);
  if (backPressed(g)) {
    g.playerSelectOpen = false;
    g.menuOpen = true;
    g.mouseButton = kNoClick;
    if (g.host) g.host->pause(500);
  }
  if (!g.exitRequested) choose(g, playerLines(g));
  currentPlayerLine(g);
}

void textinput(Game& g) {
  if (!g.exitRequested) g.typedText = typedCells(g);
  const std::string shown = g.cursorBlink > 10 ? g.typedText + "_" : g.typedText;
  if (++g.cursorBlink > 20) g.cursorBlink = 0;
  TextCanvas& c = g.canvas.take();
  c.setBrushSolid(false);
  c.setFontColour(0xFFFFFF);
  c.textOut(330, 410, shown);
  c.release();
}

void nameentry(Game& g) {
  screenPictures(g, 14);
  textinput(g);
  if (leftPressIn(g, 330, 390, 450, 500) && g.typedCount > 0) {
    g.mouseButton = kNoClick;
    if (addtogamelist(g)) {
      g.menuOpen = true;
      g.optionsOpen = false;
    }
  }
  if (backPressed(g)) {
    g.nameEntryOpen = false;
    g.playerSelectOpen = true;
    g.mouseButton = kNoClick;
  }
}

bool addtogamelist(Game& g) {
  // Joined here as well as on screen, so keys typed since the last frame are part of the name.
  g.typedText = typedCells(g);
  const int slot = newPlayerSlot(g, g.typedText);
  if (slot == 0) {
    g.sound.beep();
    return false;
  }
  g.playerList[slot] = g.typedText;
  g.playerName = g.typedText;
  g.typedText.clear();
  g.typedCount = 0;
  g.typedName.fill(0);
  newplayerreset(g);
  savegamedata(g, g.playerName);
  g.nameEntryOpen = false;
  savegamenames(g);
  return true;
}

void FormKeyPress(Game& g, int key) {
  if (!g.nameEntryOpen) return;
  switch (key) {
    case kEnter:
      if (g.typedCount > 0) addtogamelist(g);
      return;
    case kEscape:
      return;  // the menu key, handled on key-down
    case kBackspace:
      if (g.typedCount > 0) g.typedName[g.typedCount--] = 0;
      return;
    default:
      break;
  }
  const auto c = static_cast<char32_t>(key);
  if (key < 0 || nameSpace(c) || !safeNameCharacter(c) || !g.canvas.canDraw(c)) {
    g.sound.beep();
    return;
  }
  if (g.typedCount < kNameLength) g.typedName[++g.typedCount] = upperCased(c);
}

}  // namespace mv
