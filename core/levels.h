// SPDX-License-Identifier: GPL-3.0-or-later
// The kinds of level, in one table: a row per kind says what sets its levels apart, and every
// rule that depends on levelType reads it here. A new kind is a new row (and its enumerator).
#pragma once

#include "state/game.h"

namespace mv {

// levelType: the six kinds, in the order the levels cycle through them.
enum LevelKind : int {
  kBoardLevel = 1,
  kTwoBoardLevel,
  kRoundLevel,
  kBoxLevel,
  kShootLevel,
  kFallLevel,
};

struct LevelKindRow {
  // Boards: the second board's columns and rows (0: none; the first board then takes the same
  // size), whether the tile boards are dealt at the start, and whether the voodoo box is played
  // first (its board always drifts).
  int secondBoard = 0;
  bool dealsTiles = true;
  bool opensWithBox = false;
  // Spiders: the most alive at once, how many start, and where they start.
  int maxSpiders = 20, startSpiders = 10;
  int startX = 350, startY = 300;
  // The bonus puzzle played in place of the tile boards: the flag that runs it, the routine that
  // builds it at the level start and the routine that plays one frame of it.
  bool Game::*puzzleOn = nullptr;
  void (*makePuzzle)(Game&) = nullptr;
  void (*playPuzzle)(Game&) = nullptr;
  // The floating text of the level's first seconds, and the one it gives instead while few
  // spiders may live.
  const char* startHint = nullptr;
  const char* fewSpidersHint = nullptr;
  // The HUD and the cursor texts count the tiles still to convert.
  bool countsTilesLeft = false;
};

// How many kinds the cycle has, and how many backgrounds it goes through (levellist picture 0 is
// the tally's).
int levelKindCount();
int backgroundCount();

// The row of the level's kind (levelType 1..levelKindCount(); anything else reads kind 1).
const LevelKindRow& levelKind(int levelType);
inline const LevelKindRow& levelKind(const Game& g) {
  return levelKind(g.levelType);
}

// The kind and the background of the level after one of the given kind and background.
int nextLevelType(int levelType);
int nextBackground(int backgroundIndex);

}  // namespace mv
