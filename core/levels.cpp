// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/levels.h"

#include <array>

#include "media/catalogue.h"
#include "puzzles/fall.h"
#include "puzzles/ring.h"

namespace mv {
namespace {

// Rows by levelType; row 0 is never a level.
constexpr std::array<LevelKindRow, 7> kLevelKinds = {{
    {},
    // kBoardLevel
    {},
    // kTwoBoardLevel
    {.secondBoard = 6, .maxSpiders = 8, .startSpiders = 8, .startX = 395, .startY = 240},
    // kRoundLevel
    {.maxSpiders = 2,
     .startSpiders = 2,
     .startX = 426,
     .startY = 340,
     .puzzleOn = &Game::roundPuzzleOn,
     .makePuzzle = makeroundpuzzle,
     .playPuzzle = roundpuzzle},
    // kBoxLevel
    {.opensWithBox = true},
    // kShootLevel
    {.maxSpiders = 2,
     .startSpiders = 3,
     .puzzleOn = &Game::shootPuzzleOn,
     .makePuzzle = makeshootpuzzle,
     .playPuzzle = shootpuzzle,
     .fewSpidersHint = "You only have to Convert 80 tiles!"},
    // kFallLevel
    {.dealsTiles = false,
     .puzzleOn = &Game::fallPuzzleOn,
     .makePuzzle = makefallpuzzle,
     .playPuzzle = fallpuzzle,
     .startHint = "Dont let tiles touch top of screen!",
     .countsTilesLeft = true},
}};

}  // namespace

int levelKindCount() {
  return static_cast<int>(kLevelKinds.size()) - 1;
}

int backgroundCount() {
  return kImageLists[static_cast<int>(ImageList::levellist)].count - 1;
}

const LevelKindRow& levelKind(int levelType) {
  return kLevelKinds[levelType >= 1 && levelType <= levelKindCount() ? levelType : kBoardLevel];
}

int nextLevelType(int levelType) {
  return levelType % levelKindCount() + 1;
}

int nextBackground(int backgroundIndex) {
  return backgroundIndex % backgroundCount() + 1;
}

}  // namespace mv
