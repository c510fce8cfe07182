// SPDX-License-Identifier: GPL-3.0-or-later
// Level set-up: every level, board or bonus puzzle, starts through newlevel.
#include "core/level.h"

#include <algorithm>

#include "board/deal.h"
#include "core/levels.h"
#include "items/cells.h"
#include "items/inventory.h"
#include "profiles/savefile.h"
#include "puzzles/voodoo.h"
#include "state/game.h"

namespace mv {

namespace {

// Ghosts come on later levels now and then; the scary option keeps them and the scare away.
void ghostsAndScare(Game& g) {
  if (g.chance(3)) g.ghostCount = 0;
  if (g.level < 7) g.ghostCount = 0;
  g.scareCount = 0;
  if (!g.scaryOn) g.ghostCount = g.scareCount = 10;
}

// The counters, the clock and both boards' selection and swap state start afresh.
void levelCounters(Game& g) {
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
}

// Levels 2 and 3 open with their intro, later ones now and then with the level map, and now and
// then the board drifts (always under the voodoo box).
void introAndDrift(Game& g, const LevelKindRow& kind) {
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
  if (kind.opensWithBox) {
    g.driftDir = 1;
    g.driftTimer = 1;
  }
}

// The first board takes a random size (at most 7 columns on level 1); beside a second board both
// take its size and stand still. The goal is every cell of the first board.
void boardSizes(Game& g, const LevelKindRow& kind) {
  g.boardCols = g.random(7, 10);
  g.boardRows = g.random(7, 10);
  g.board2Cols = kind.secondBoard;
  g.secondBoardCells = 0;
  if (kind.secondBoard > 0) {
    g.board2Rows = kind.secondBoard;
    g.driftTimer = 0;
    g.boardOffsetX = 0;
    g.boardOffsetY = 0;
    g.secondBoardCells = kind.secondBoard * kind.secondBoard;
    g.boardCols = g.boardRows = kind.secondBoard;
  }
  if (g.level == 1) g.boardCols = std::min(g.boardCols, 7);
  g.tileGoal = g.boardCols * g.boardRows;
}

// The level's bonus puzzle builds itself as it joins the game.
void bonusPuzzle(Game& g, const LevelKindRow& kind) {
  for (int t = 1; t <= levelKindCount(); ++t)
    if (levelKind(t).puzzleOn) g.*levelKind(t).puzzleOn = false;
  if (kind.puzzleOn) {
    g.*kind.puzzleOn = true;
    kind.makePuzzle(g);
  }
}

void startSpiders(Game& g, const LevelKindRow& kind) {
  for (int slot = 1; slot <= kSpiderSlots; ++slot) {
    spawn(g, slot, 0);
    if (slot > g.startSpiders) g.spiders[slot].spiderLife = 0;
    g.spiders[slot].spiderX = kind.startX;
    g.spiders[slot].spiderY = kind.startY;
  }
}

void clearBoardMarks(Game& g) {
  for (int i = 1; i <= kBloodSlots; ++i) g.blood[i].bloodAlpha = 0;
  for (int i = 1; i <= kBoardItemSlots; ++i) {
    g.boardItems[i].kind = 0;
    g.boardItems[i].glow = false;
  }
}

}  // namespace

void newlevel(Game& g) {
  const LevelKindRow& kind = levelKind(g);
  savegamedata(g, g.playerName);
  g.maxSpiders = kind.maxSpiders;
  g.startSpiders = kind.startSpiders;
  // Only a voodoo box level shows the box, even when the last level was left during one.
  g.boxPuzzleOn = kind.opensWithBox;
  if (g.boxPuzzleOn) makepuzzlegame(g);
  ghostsAndScare(g);
  levelCounters(g);
  introAndDrift(g, kind);
  boardSizes(g, kind);
  bonusPuzzle(g, kind);
  g.boardRight = g.boardCols * 29 + 48;
  g.boardBottom = g.boardRows * 29 + 48;
  if (kind.dealsTiles) settiles(g);
  startSpiders(g, kind);
  clearBoardMarks(g);
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
  g.levelType = kBoardLevel;
  g.backgroundIndex = 1;
  g.charmGiven = false;
  g.score = 0;
  gamereset(g);
}

}  // namespace mv
