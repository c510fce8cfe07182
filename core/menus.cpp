// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/menus.h"

#include "board/smoke.h"
#include "core/startup.h"
#include "items/inventory.h"
#include "profiles/players.h"
#include "profiles/savefile.h"
#include "state/game.h"

namespace mv {
namespace {

// Continue: back to the level, starting its intro when the level has not started yet.
void play(Game& g) {
  g.menuOpen = false;
  g.mouseButton = kNoClick;
  g.menuSaved = false;
  if (g.timeLeft != 500) return;
  if (g.level == 1) g.introStage = 1;
  // The Spider Charm comes once per player: one who has it, in the inventory or on the cursor,
  // is not given another on level 2, and one who has not is given it, whatever an earlier
  // player of this run was given.
  g.charmGiven = checkinventory(g, "Spider Charm") > 0;
  if (g.level == 2) g.introStage = 2;
  if (g.level == 3) g.introStage = 3;
  if (g.level > 3) g.introStage = 300;
  g.introTimer = 500;
}

struct MenuEntry {
  int top, bottom;        // mouseY range
  int highlight, hx, hy;  // selectlist picture drawn while hovered, and where
  void (*act)(Game&);
};

const MenuEntry kEntries[] = {
    {300, 340, 5, 363, 305, play},
    {340, 380, 6, 304, 347,
     [](Game& g) {
       g.menuOpen = false;
       g.playerSelectOpen = true;
       g.mouseButton = kNoClick;
     }},
    {400, 450, 7, 258, 389,
     [](Game& g) {
       g.menuOpen = false;
       g.instructionsOpen = true;
       g.mouseButton = kNoClick;
     }},
    // The options take over without consuming the press: the options page sees it too.
    {450, 478, 8, 305, 432,
     [](Game& g) {
       g.menuOpen = false;
       g.optionsOpen = true;
     }},
    {478, 520, 9, 357, 478,
     [](Game& g) {
       g.menuOpen = false;
       g.exitRequested = true;
       g.mouseButton = kNoClick;
       exitgame(g);
     }},
};

struct OptionRow {
  int top, bottom;  // mouseY range
  bool Game::*option;
  int markX, markY;  // where the off mark covers the row's button
  const char* note;
};

const OptionRow kOptionRows[] = {
    {230, 260, &Game::soundOn, 447, 230,
     "NOTE: Turning sound OFF also turns off some verbal hints"},
    {275, 310, &Game::scaryOn, 447, 274, "Turn Scary Stuff Off"},
    {320, 350, &Game::detailsOn, 447, 320, "NOTE: Turning details OFF may improve performance"},
    {360, 390, &Game::difficultyOn, 446, 361,
     "Turn difficulty mode OFF for a more challenging game"},
};

// Green text with a black outline, placed to the upper left of the cursor.
void outlinedNote(Game& g, const char* note) {
  static constexpr int kShadow[4][2] = {{-101, -16}, {-99, -14}, {-99, -15}, {-100, -14}};
  TextCanvas& c = g.canvas.take();
  c.setBrushSolid(false);
  c.setFontColour(0x000000);
  for (const auto& d : kShadow) c.textOut(g.mouseX + d[0], g.mouseY + d[1], note);
  c.setFontColour(0x00FF00);
  c.textOut(g.mouseX - 100, g.mouseY - 15, note);
  c.release();
}

}  // namespace

void mainmenu(Game& g) {
  // The player's file is written once per opening of the menu.
  if (!g.menuSaved) {
    savegamedata(g, g.playerName);
    g.menuSaved = true;
  }
  g.screen.drawImage(g.image(ImageList::selectlist, 4), 50, 0, 0);
  if (inside(g.mouseX, 250, 550)) {
    for (const MenuEntry& e : kEntries) {
      if (!inside(g.mouseY, e.top, e.bottom)) continue;
      g.screen.drawImage(g.image(ImageList::selectlist, e.highlight), e.hx, e.hy, 0);
      if (g.mouseButton == kLeft) e.act(g);
      break;
    }
  }
  // Smoke left over from the level map lives on under the menu.
  smoke(g);
  if (g.exitRequested || g.playerName == "[NONE]") return;
  TextCanvas& c = g.canvas.take();
  c.setBrushSolid(false);
  c.setFontColour(0x00FF00);
  c.textOut(340, 540, "[ Current Player is " + g.playerName + " ]");
  c.release();
}

void instructions(Game& g) {
  g.screen.drawImage(g.image(ImageList::helplist, 10), 75, 55, 0);
  if (g.mouseButton != kLeft) return;
  g.instructionsOpen = false;
  g.menuOpen = true;
  g.mouseButton = kNoClick;
}

void options(Game& g) {
  g.screen.drawImage(g.image(ImageList::selectlist, 11), 75, 55, 0);
  for (const OptionRow& row : kOptionRows)
    if (!(g.*row.option))
      g.screen.drawImage(g.image(ImageList::selectlist, 12), row.markX, row.markY, 0);

  if (inside(g.mouseX, 447, 560)) {
    for (const OptionRow& row : kOptionRows) {
      if (!inside(g.mouseY, row.top, row.bottom)) continue;
      outlinedNote(g, row.note);
      if (g.mouseButton == kLeft) g.*row.option = !(g.*row.option);
    }
    // The column takes every press, so a held press toggles its row only once.
    g.mouseButton = kNoClick;
  }

  if (g.mouseButton == kLeft && inside(g.mouseX, 148, 220) && inside(g.mouseY, 420, 470)) {
    // Back to the menu; the options are kept with the player list.
    g.optionsOpen = false;
    g.menuOpen = true;
    savegamenames(g);
  }
}

}  // namespace mv
