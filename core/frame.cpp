// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/frame.h"

#include <string>

#include "board/effects.h"
#include "board/spiders.h"
#include "board/tiles.h"
#include "core/book.h"
#include "core/hints.h"
#include "core/hud.h"
#include "core/intro.h"
#include "core/level.h"
#include "core/levels.h"
#include "core/menus.h"
#include "core/players.h"
#include "core/tally.h"
#include "items/cells.h"
#include "items/charm.h"
#include "items/inventory.h"
#include "puzzles/voodoo.h"
#include "state/game.h"

namespace mv {
namespace {

// A press with this code is still unconsumed.
bool pressed(const Game& g, int code) {
  return g.mouseButton == code;
}


// The system cursor, in game pixels.
void readCursor(Game& g) {
  int x = 0, y = 0;
  if (g.host && g.host->cursor(x, y)) {
    g.mouseX = x;
    g.mouseY = y;
  }
}

// The level intro, unless a screen that stops it is open (instructions do not).
void stepIntro(Game& g) {
  if (g.introStage <= 0 || g.levelComplete || g.menuOpen || g.optionsOpen || g.playerSelectOpen ||
      g.nameEntryOpen)
    return;
  intro(g);
}

// The main menu.
void stepMainMenu(Game& g) {
  if (g.menuOpen) mainmenu(g);
}

// The instructions page.
void stepInstructions(Game& g) {
  if (g.instructionsOpen) instructions(g);
}

// Name entry.
void stepNameEntry(Game& g) {
  if (g.nameEntryOpen) nameentry(g);
}

// Player selection.
void stepPlayerSelect(Game& g) {
  if (g.playerSelectOpen) playerselect(g);
}

// The options, unless player selection or name entry covers them.
void stepOptions(Game& g) {
  if (g.optionsOpen && !g.playerSelectOpen && !g.nameEntryOpen) options(g);
}

// The level-complete tally, unless the menu or the options cover it.
void stepTally(Game& g) {
  if (g.levelComplete && !g.menuOpen && !g.optionsOpen) tally(g);
}

// The book, unless a menu screen covers it.
void stepBook(Game& g) {
  if (g.bookPage <= 0 || g.menuOpen || g.optionsOpen || g.playerSelectOpen || g.instructionsOpen)
    return;
  book(g);
}

// The voodoo box takes the place of the play frame on its levels.
void stepBoxPuzzle(Game& g) {
  if (!playIsFree(g) || g.instructionsOpen || !g.boxPuzzleOn) return;
  puzzlegame(g);
}

// The play frame.
void stepPlay(Game& g) {
  if (playIsFree(g) && !g.instructionsOpen && !g.boxPuzzleOn) playFrame(g);
}

// The Morvane celebration covers whatever was drawn.
void stepCelebration(Game& g) {
  if (g.megaBonusTimer > 0) celebration(g);
}

// --- Play frame -------------------------------------------------------------------------------

void firstPlayHint(Game& g) {
  if (g.hintStep != 0) return;
  g.hintStep = 1;
  g.hintIndex = 1;
  g.hintFade = 0;
}

void frameStart(Game& g) {
  if (g.voiceCooldown > 0) --g.voiceCooldown;
  g.frameDice = g.random(0, 1999);
  g.itemTooltip.clear();
  g.infoLine1[1].clear();
}

void background(Game& g) {
  g.screen.drawImage(g.image(ImageList::levellist, g.backgroundIndex), g.shakeX, g.shakeY, 0);
}

void sparkleTurn(Game& g) {
  if (g.sparkleSlot == 0 && ++g.sparkleTurn > 20) g.sparkleTurn = 1;
  g.runePieceSlot = 0;
}

bool overItem(const Game& g, const BoardItem& it) {
  return inside(g.mouseX, it.x - 10, it.x + it.width * 24 + 15) &&
         inside(g.mouseY, it.y - 10, it.y + it.height * 24 + 15);
}

// A left press on an item with nothing carried picks it up into the inventory. If the inventory
// has no room, the item stays where it lay and the click is spent.
void pickUp(Game& g, BoardItem& it) {
  if (g.hintStep == 4) {
    g.hintStep = 5;
    g.hintIndex = 5;
    g.hintFade = 0;
  }
  hold(g, it);
  g.inventoryFullFlag = false;
  inventoryadd(g);
  const BoardItem lying = it;
  it.kind = 0;
  it.name.clear();
  if (g.inventoryFullFlag) {
    g.playIfOn(3);
    it = lying;
    emptyhand(g);
    g.mouseButton = kNoClick;
  }
}

void boardItems(Game& g) {
  for (int i = 1; i <= kBoardItemSlots; ++i) {
    BoardItem& it = g.boardItems[i];
    if (it.kind > 0) {
      if (it.name == "Morvane Rune Piece") g.runePieceSlot = i;
      if (overItem(g, it)) {
        g.itemTooltip = it.name;
        if (pressed(g, kLeft) && g.heldImage == 0) pickUp(g, it);
      }
      // On the frame of a pick-up this is picture 0, the sparkle, flashing once in its place.
      g.screen.drawImage(g.image(ImageList::gemlist, it.kind), it.x - 5, it.y - 5, 0);
    }
    // The glow stays where an item lay until the level ends.
    if (it.glow && g.detailsOn)
      g.screen.drawRotatedAlpha(g.image(ImageList::selectlist, 1), it.x + 3, it.y + 3, 40, 40, 0,
                                0.5, 0.5, 0, 100);
    if (g.sparkleSlot == 0 && i == g.sparkleTurn && it.kind > 0) {
      g.sparkleSlot = i;
      g.sparkleAlpha = 50;
      g.sparkleAngle = 0;
      g.sparkleSize = 1;
    }
  }
}

void sparkle(Game& g) {
  if (g.sparkleSlot <= 0 || g.sparkleAlpha >= 255) return;
  g.sparkleAlpha += 10;
  g.sparkleAngle += 3;
  g.sparkleSize += 1;
  const BoardItem& it = g.boardItems[g.sparkleSlot];
  g.screen.drawRotatedAlpha(g.image(ImageList::gemlist, 0), it.x + 5, it.y + 3, g.sparkleSize,
                            g.sparkleSize, 0, 0.5, 0.5, g.sparkleAngle, g.sparkleAlpha);
  if (g.sparkleAlpha > 230) g.sparkleSlot = 0;
}

void spiderGrowth(Game& g) {
  if (g.chance(100) && g.spiderSlots < g.maxSpiders) g.spiderSlots += 5;
}

// In the first seconds of a level a floating text says what is special about it.
void levelStartHint(Game& g) {
  g.levelHint.clear();
  if (g.timeLeft <= 496) return;
  const LevelKindRow& kind = levelKind(g);
  if (kind.startHint) g.levelHint = kind.startHint;
  if (g.maxSpiders < 10) {
    if (kind.fewSpidersHint) g.levelHint = kind.fewSpidersHint;
    if (g.maxSpiders > 2) g.levelHint = "Maximum Spiders is " + std::to_string(g.maxSpiders);
  }
  g.levelHintX = 100 + g.random(0, 699);
  g.levelHintY = 200 + g.random(0, 399);
}

bool puzzleRuns(const Game& g, const LevelKindRow& kind) {
  return kind.puzzleOn && g.*kind.puzzleOn;
}

// The board or puzzle of the level: the tile boards unless a bonus puzzle's flag is set, then
// each puzzle whose flag is set. Nothing moves once every spider is dead.
void boardOrPuzzle(Game& g) {
  if (g.allSpidersDead) return;
  bool anyPuzzle = false;
  for (int t = 1; t <= levelKindCount(); ++t) anyPuzzle = anyPuzzle || puzzleRuns(g, levelKind(t));
  if (!anyPuzzle) {
    placetiles(g);
    if (g.secondBoardCells > 0) placetiles2(g);
  }
  for (int t = 1; t <= levelKindCount(); ++t)
    if (puzzleRuns(g, levelKind(t))) levelKind(t).playPuzzle(g);
}

void resetCounts(Game& g) {
  g.liveSpiders = 0;
  g.colourCount.fill(0);
  g.bloodRequestX = g.bloodRequestY = 0;
}

void spiderTurn(Game& g) {
  if (++g.spiderCursor > g.maxSpiders) g.spiderCursor = 0;
  Spider& s = g.spiders[g.spiderCursor];
  if (s.spiderGemCooldown > 0) --s.spiderGemCooldown;
}

void spiders(Game& g) {
  for (int i = 1; i <= g.spiderSlots && i <= kSpiderSlots; ++i) updatespider(g, i);
}

// The inventory panel slides in and out at the right edge; its tab opens it, its button closes
// it, and the strip above it opens the main menu.
void inventoryPanel(Game& g) {
  if (pressed(g, kLeft) && g.mouseX > 780 &&
      inside(g.mouseY, g.inventoryPanelY - 50, g.inventoryPanelY + 20))
    g.menuOpen = true;  // shown from the next frame on
  const Image& panel = g.image(ImageList::selectlist, 2);
  if (g.inventoryOpen) {
    if (g.inventoryPanelX > 590) g.inventoryPanelX -= 30;
    g.screen.drawImage(panel, g.inventoryPanelX, g.inventoryPanelY, 0);
    if (pressed(g, kPanelLeft) && inside(g.mouseX, 620, 700) && inside(g.mouseY, 500, 540)) {
      g.inventoryOpen = false;
      g.charmOpen = false;
      g.playIfOn(9);
    }
    inventory(g);
  } else {
    if (pressed(g, kLeft) && g.mouseX > 770 &&
        inside(g.mouseY, g.inventoryPanelY + 20, g.inventoryPanelY + 225)) {
      g.inventoryOpen = true;
      g.playIfOn(9);
    }
    if (g.inventoryPanelX < 750) {
      g.inventoryPanelX += 30;
      g.screen.drawImage(panel, g.inventoryPanelX, g.inventoryPanelY, 0);
    }
  }
}

void charmPanel(Game& g) {
  if (!g.charmOpen) return;
  g.screen.drawImage(g.image(ImageList::selectlist, 15), 303, 197, 0);
  spiderinven(g);
}

void carriedItem(Game& g) {
  if (g.heldImage > 0)
    g.screen.drawImage(g.image(ImageList::gemlist, g.heldImage), g.mouseX - 5, g.mouseY - 10, 0);
}

void fewSpidersHint(Game& g) {
  if (g.liveSpiders >= 3 || g.fewSpidersHinted) return;
  g.fewSpidersHinted = true;
  g.hintIndex = 5;
  g.hintFade = 0;
}

// With no spider left the level is lost: the game-over panel offers the level again (YES) or
// the main menu (NO).
void gameOver(Game& g) {
  if (g.liveSpiders == 0) g.allSpidersDead = true;
  if (!g.allSpidersDead) return;
  g.hintIndex = 7;
  if (!pressed(g, kLeft) || !inside(g.mouseY, 240, 289)) return;
  if (inside(g.mouseX, 240, 307)) {
    gamereset(g);
    g.allSpidersDead = false;
  } else if (inside(g.mouseX, 450, 520)) {
    g.menuOpen = true;
    gamereset(g);
    g.allSpidersDead = false;
  }
}

void hintPanel(Game& g) {
  if (g.hintIndex > 0) showhelp(g);
}

void effects(Game& g) {
  if (g.bonusTimer > 0) bonuscounter(g);
  bursts(g);
  ghostflight(g);
}

// Texts at the cursor: the item under it, the FREEZE rune over the clock, the frozen clock,
// the inventory's three info lines, the falling-tiles goal and the floating texts.
void cursorTexts(Game& g) {
  TextCanvas& c = g.canvas.take();
  c.setBrushSolid(false);
  c.setFontColour(0xFFFFFF);
  c.textOut(g.mouseX - 5, g.mouseY - 10, g.itemTooltip);
  if (g.heldImage == 21 && inside(g.mouseX, 370, 450) && inside(g.mouseY, 0, 60)) {
    c.textOut(g.mouseX - 50, g.mouseY - 22, "Drop FREEZE rune to stop clock");
    if (pressed(g, kLeft)) {
      g.freezeTimer = g.heldValue;
      g.heldImage = 0;
      g.heldName.clear();
    }
  }
  if (g.freezeTimer > 0) c.textOut(380, 15, "FROZEN:" + std::to_string(g.freezeTimer));
  const int x = g.mouseX - 55 > 720 ? g.mouseX - 105 : g.mouseX - 55;
  for (int i = 0; i < 3; ++i)
    if (!g.infoLine1[i].empty()) c.textOut(x, g.mouseY - 22 + 11 * i, g.infoLine1[i]);
  if (levelKind(g).countsTilesLeft && !g.tilesNearTop)
    c.textOut(30, 77,
              "You only have to convert " + std::to_string(g.tileGoal) +
                  " tiles to complete this level [Dont let tiles reach top]");
  c.release();
  drawfloattexts(g);
}

}  // namespace

bool playIsFree(const Game& g) {
  return g.bookPage == 0 && g.introStage == 0 && !g.levelComplete && !g.menuOpen &&
         !g.optionsOpen && !g.playerSelectOpen && !g.nameEntryOpen;
}

void playFrame(Game& g) {
  firstPlayHint(g);
  frameStart(g);
  background(g);
  drawblood(g);
  sparkleTurn(g);
  boardItems(g);
  sparkle(g);
  spiderGrowth(g);
  levelStartHint(g);
  boardOrPuzzle(g);
  resetCounts(g);
  spiderTurn(g);
  spiders(g);
  inventoryPanel(g);
  charmPanel(g);
  carriedItem(g);
  hud(g);
  fewSpidersHint(g);
  gameOver(g);
  hintPanel(g);
  effects(g);
  cursorTexts(g);
}

void DXTimerTimer(Game& g) {
  // The screens in painter's order: each draws over those before it and handles its clicks as
  // it draws. A frame without a display does nothing at all, so the game does not advance either.
  if (!g.screen.canDraw()) return;
  g.screen.fillScreen(0);
  readCursor(g);
  stepIntro(g);
  stepMainMenu(g);
  stepInstructions(g);
  stepNameEntry(g);
  stepPlayerSelect(g);
  stepOptions(g);
  stepTally(g);
  stepBook(g);
  stepBoxPuzzle(g);
  stepPlay(g);
  stepCelebration(g);
  g.screen.flipScreen();
}

}  // namespace mv
