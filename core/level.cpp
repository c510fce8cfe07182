// Level set-up: every level, board or bonus puzzle, starts through newlevel.
#include "core/level.h"

#include <algorithm>

#include "board/deal.h"
#include "items/cells.h"
#include "items/inventory.h"
#include "profiles/savefile.h"
#include "puzzles/fall.h"
#include "puzzles/ring.h"
#include "puzzles/voodoo.h"
#include "state/game.h"

namespace mv {

void newlevel(Game& g) {
  savegamedata(g, g.playerName);
  g.maxSpiders = 20;
  // Only a voodoo box level shows the box, even when the last level was left during one.
  g.boxPuzzleOn = g.levelType == 4;
  if (g.boxPuzzleOn) makepuzzlegame(g);

  if (g.chance(3)) g.ghostCount = 0;
  if (g.level < 7) g.ghostCount = 0;
  g.scareCount = 0;
  if (!g.scaryOn) g.ghostCount = g.scareCount = 10;

  TileBoard& first = g.tiles.first;
  TileBoard& second = g.tiles.second;
  g.runePieceSlot = 0;
  first.selectState = 0;
  g.spiderSlots = 10;
  first.swapCheck = 0;
  first.matchFlag = 0;
  g.jewelsFound = 0;
  g.jewelsConverted = 0;
  g.timeLeft = 500;
  g.freezeTimer = 0;
  g.spidersKilled = 0;
  second.selectState = 0;
  second.swapCheck = 0;
  second.matchFlag = 0;

  g.goalColour = g.random(1, 4);
  g.spiderDeathPenalty = g.level == 1 ? 10 : std::clamp(g.level, 0, 4) * 50;

  g.driftDir = 0;
  g.driftTimer = 0;
  g.boardOffsetX = 0;

  if (g.level == 2 || g.level == 3) {
    g.introStage = g.level;
    g.soundLatch = false;
  }
  if (g.level > 3 && g.chance(3)) {
    g.introStage = 300;
    g.introTimer = 500;
  }
  if (g.level > 3 && g.chance(3)) {
    g.driftDir = 1;
    g.driftTimer = 1;
  }
  if (g.levelType == 4) {
    g.driftDir = 1;
    g.driftTimer = 1;
  }

  g.boardCols = g.random(7, 10);
  g.boardRows = g.random(7, 10);
  g.board2Cols = 0;
  if (g.levelType == 2) g.board2Cols = g.board2Rows = 6;
  g.secondBoardCells = 0;
  g.startSpiders = 10;
  if (g.board2Cols > 0) {
    g.driftTimer = 0;
    g.boardOffsetX = 0;
    g.boardOffsetY = 0;
    g.startSpiders = 8;
    g.secondBoardCells = 36;
    g.maxSpiders = 8;
    g.boardCols = g.boardRows = 6;
  }
  if (g.level == 1) g.boardCols = std::min(g.boardCols, 7);
  g.tileGoal = g.boardCols * g.boardRows;

  // The bonus puzzles build themselves here as they join the game.
  g.roundPuzzleOn = g.shootPuzzleOn = g.fallPuzzleOn = false;
  if (g.levelType == 3) {
    g.roundPuzzleOn = true;
    makeroundpuzzle(g);
    g.maxSpiders = 2;
    g.startSpiders = 2;
  }
  if (g.levelType == 5) {
    g.shootPuzzleOn = true;
    makeshootpuzzle(g);
    g.maxSpiders = 2;
    g.startSpiders = 3;
  }
  if (g.levelType == 6) {
    g.fallPuzzleOn = true;
    makefallpuzzle(g);
  }

  g.boardRight = g.boardCols * 29 + 48;
  g.boardBottom = g.boardRows * 29 + 48;
  if (g.levelType != 6) settiles(g);

  int startX = 350, startY = 300;
  if (g.levelType == 2) startX = 395, startY = 240;
  if (g.levelType == 3) startX = 426, startY = 340;
  for (int slot = 1; slot <= kSpiderSlots; ++slot) {
    spawn(g, slot, 0);
    if (slot > g.startSpiders) g.spiders[slot].spiderLife = 0;
    g.spiders[slot].spiderX = startX;
    g.spiders[slot].spiderY = startY;
  }

  for (int i = 1; i <= kBloodSlots; ++i) g.blood[i].bloodAlpha = 0;
  for (int i = 1; i <= kBoardItemSlots; ++i) {
    g.boardItems[i].kind = 0;
    g.boardItems[i].glow = false;
  }
}

void gamereset(Game& g) {
  g.allSpidersDead = false;
  newlevel(g);
}

void newplayerreset(Game& g) {
  g.tiles.first.clearCells(20);
  g.tiles.second.clearCells(20);
  // Nothing of the last player's passes on: not the item on the cursor, nor an open charm panel.
  g.inventoryGrid = {};
  g.charmGrid = {};
  emptyhand(g);
  g.charmOpen = false;
  placebook(g);
  g.inventoryOpen = true;
  g.runePiecesGiven = 0;
  g.level = 1;
  g.levelType = 1;
  g.backgroundIndex = 1;
  g.charmGiven = false;
  g.score = 0;
  gamereset(g);
}

}  // namespace mv
