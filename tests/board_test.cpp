// SPDX-License-Identifier: GPL-3.0-or-later
// The tile board's rules as a player meets them, each shown as a board drawn in text.
#include <algorithm>

#include "board/tiles.h"
#include "game_fixture.h"
#include "tile_grid.h"

namespace mv::test {
namespace {

class BoardTest : public GameTest {
 protected:
  TileBoard& b = g.tiles.first;

  void frames(int n) {
    for (int i = 0; i < n; ++i) placetiles(g);
  }
  int soundsPlayed(int sound) const {
    const std::string entry = "play " + std::to_string(sound);
    return static_cast<int>(std::count(h.sounds->log.begin(), h.sounds->log.end(), entry));
  }
  int hatched(const std::string& colour) const {
    int n = 0;
    for (int i = 1; i <= kSpiderSlots; ++i)
      if (g.spiders[i].spiderLife > 0 && g.spiders[i].spiderColour == colour) ++n;
    return n;
  }
  // Runs frames until the board has been still for two frames (or a limit is hit).
  void settle(int limit = 400) {
    for (int i = 0; i < limit; ++i) {
      placetiles(g);
      if (!b.busy && !b.wasBusy && b.selectState == 0 && b.swapCheck == 0) return;
    }
    ADD_FAILURE() << "the board did not settle";
  }
};

// Runs of three, four and five across: all burst; a run of n hatches from its first n - 3 tiles.
const Rows kRuns = {
    "YYYPGP",  // three
    "PGPGPG",
    "RRRRPY",  // four
    "GPGPGP",
    "PGGGGG",  // five
    "YPYPYP",
};
const Rows kRunBursts = {
    "***...", "......", "****..", "......", ".*****", "......",
};
const Rows kRunHatches = {
    "......", "......", "*.....", "......", ".**...", "......",
};

TEST_F(BoardTest, RunsAcrossBurstAndHatchFromTheirFirstTiles) {
  layOut(g, kRuns);
  placetiles(g);
  EXPECT_EQ(marks(g, b.tileBlast, [](int v) { return v > 0; }), joined(kRunBursts));
  EXPECT_EQ(marks(g, b.tileHatch), joined(kRunHatches));
  EXPECT_EQ(b.matchFlag, 2);
}

TEST_F(BoardTest, RunsDownBurstAndHatchFromTheirTopTiles) {
  layOut(g, transposed(kRuns));
  placetiles(g);
  EXPECT_EQ(marks(g, b.tileBlast, [](int v) { return v > 0; }), joined(transposed(kRunBursts)));
  EXPECT_EQ(marks(g, b.tileHatch), joined(transposed(kRunHatches)));
}

TEST_F(BoardTest, BurstRunsConvertScoreAndHatchSpidersOfTheirColour) {
  layOut(g, kRuns);
  frames(14);  // 13 frames of shaking, then the explosion
  // Three, four and five tiles converted, 10 points each; one red and two green spiders.
  EXPECT_EQ(g.clearedCount, 12);
  EXPECT_EQ(g.score, 120);
  EXPECT_EQ(hatched("R"), 1);
  EXPECT_EQ(hatched("G"), 2);
  EXPECT_EQ(hatched("Y"), 0);
  EXPECT_EQ(soundsPlayed(10), 12);
}

TEST_F(BoardTest, SkullRunsHatchNothingAndArmOneScare) {
  layOut(g, {"SSSSG", "GPGPY"});
  frames(14);
  EXPECT_EQ(hatched("Y") + hatched("R") + hatched("G") + hatched("P"), 0);
  EXPECT_TRUE(g.scareArmed);

  // While a lightning burst runs, skulls cost nothing.
  layOut(g, {"SSSGP", "GPGPY"});
  g.scareArmed = false;
  g.quakeTimerB = 30;
  settle();
  EXPECT_FALSE(g.scareArmed);
}

TEST_F(BoardTest, FirstMatchHintTakesARunOfThreeAcrossButOnlyFourDown) {
  g.hintStep = 1;
  layOut(g, {"YYYP", "PGPG"});
  placetiles(g);
  EXPECT_EQ(g.hintStep, 2);
  EXPECT_EQ(g.hintIndex, 2);

  g.hintStep = 1;
  g.hintIndex = 0;
  layOut(g, transposed({"YYYP", "PGPG"}));
  placetiles(g);
  EXPECT_EQ(g.hintStep, 1);
  EXPECT_EQ(g.hintIndex, 0);

  layOut(g, transposed({"YYYYP", "PGPGP"}));
  placetiles(g);
  EXPECT_EQ(g.hintStep, 2);
}

// Swapping (3, 1) and (3, 2) lines up five yellows in row 2; swapping (1, 1) and (2, 1) makes
// nothing.
const Rows kSwapBoard = {
    "GRYRG", "YYPYY", "PGRGP", "GPGPG", "RGPGR",
};

TEST_F(BoardTest, SelectThenNeighbourStartsASwapAndItStandsWhenItMakesARun) {
  layOut(g, kSwapBoard);
  pressOn(g, 3, 1);
  placetiles(g);
  EXPECT_EQ(b.selectState, 1);
  EXPECT_EQ(b.selectedCol, 3);
  EXPECT_EQ(g.mouseButton, kNoClick);
  EXPECT_EQ(soundsPlayed(11), 1);

  pressOn(g, 3, 2);
  placetiles(g);
  EXPECT_EQ(b.selectState, 10);
  EXPECT_EQ(b.swapCheck, 2);

  // Both tiles fly 28 pixels at 8 a frame and arrive carrying each other's kind.
  frames(3);
  EXPECT_EQ(b.selectState, 0);
  EXPECT_EQ(b.selectedCol, 0);
  EXPECT_EQ(b.tileKind[3][1], kPurple);
  EXPECT_EQ(b.tileKind[3][2], kYellow);

  frames(15);
  EXPECT_EQ(marks(g, b.tileConverted), joined({".....", "*****", ".....", ".....", "....."}));
  EXPECT_EQ(hatched("Y"), 2);
  settle();
  EXPECT_EQ(soundsPlayed(12), 0);
}

TEST_F(BoardTest, ASwapWithoutARunFliesBackOnTheSecondSettledFrame) {
  layOut(g, kSwapBoard);
  pressOn(g, 1, 1);
  placetiles(g);
  pressOn(g, 2, 1);
  placetiles(g);
  frames(3);  // arrival
  ASSERT_EQ(b.selectState, 0);
  EXPECT_EQ(b.tileKind[1][1], kRed);

  placetiles(g);  // still busy from the arrival
  placetiles(g);  // first settled frame
  EXPECT_EQ(soundsPlayed(12), 0);
  EXPECT_EQ(b.selectState, 0);
  placetiles(g);  // second settled frame: undo
  EXPECT_EQ(soundsPlayed(12), 1);
  EXPECT_EQ(b.selectState, 10);

  settle();
  EXPECT_EQ(kinds(g), joined(kSwapBoard));
  EXPECT_EQ(b.swapColA, 0);
  EXPECT_EQ(soundsPlayed(12), 1);
}

TEST_F(BoardTest, ClicksPickDropAndMoveTheSelection) {
  layOut(g, kSwapBoard);
  pressOn(g, 2, 2);
  placetiles(g);
  pressOn(g, 2, 2);  // the selected tile again: deselect
  placetiles(g);
  EXPECT_EQ(b.selectState, 0);
  EXPECT_EQ(b.selectedCol, 0);

  pressOn(g, 2, 2);
  placetiles(g);
  pressOn(g, 4, 4);  // not a neighbour: the selection moves
  placetiles(g);
  EXPECT_EQ(b.selectState, 1);
  EXPECT_EQ(b.selectedCol, 4);
  EXPECT_EQ(b.selectedRow, 4);

  pressOn(g, 5, 5);  // diagonal: not a neighbour either
  placetiles(g);
  EXPECT_EQ(b.selectState, 1);
  EXPECT_EQ(b.selectedCol, 5);
}

TEST_F(BoardTest, ClicksAreIgnoredWhileTheBoardMovedLastFrame) {
  layOut(g, kSwapBoard);
  b.busy = true;  // something moved in the previous frame
  pressOn(g, 2, 2);
  placetiles(g);
  EXPECT_EQ(b.selectState, 0);
  EXPECT_EQ(g.mouseButton, kLeft);
  EXPECT_EQ(soundsPlayed(11), 0);
}

TEST_F(BoardTest, TheBonusTileBurstsItsSevenCells) {
  layOut(g, kSwapBoard);
  b.bonusTile = 13;  // scan index of (3, 3)
  b.bonusTileTimer = 50;
  pressOn(g, 3, 3);
  placetiles(g);
  EXPECT_EQ(marks(g, b.tileBlast, [](int v) { return v > 0; }),
            joined({".....", ".**..", ".***.", "..**.", "....."}));
  EXPECT_EQ(g.score, 100);
  EXPECT_EQ(g.levelHint, "BONUS +100");
  EXPECT_EQ(g.quakeTimerB, 30);
  EXPECT_EQ(b.bonusTile, 0);
  EXPECT_EQ(b.selectState, 0);  // nothing selected
  EXPECT_EQ(g.mouseButton, kNoClick);
}

TEST_F(BoardTest, ABonusBurstInTheCornerConvertsOnlyCellsOfTheGrid) {
  layOut(g, kSwapBoard);
  b.bonusTile = 1;
  b.bonusTileTimer = 50;
  pressOn(g, 1, 1);
  placetiles(g);
  EXPECT_EQ(marks(g, b.tileBlast, [](int v) { return v > 0; }),
            joined({"**...", "**...", ".....", ".....", "....."}));
  frames(14);
  EXPECT_EQ(g.clearedCount, 4);
  EXPECT_EQ(g.score, 100 + 40);
}

TEST_F(BoardTest, ALostStoneRecoloursTheTileItIsDroppedOn) {
  layOut(g, kSwapBoard);
  g.heldImage = 14;  // the red stone
  g.heldName = "Lost Stone";
  pressOn(g, 1, 1);
  placetiles(g);
  EXPECT_EQ(b.tileKind[1][1], kRed);
  EXPECT_EQ(g.heldImage, 0);
  EXPECT_EQ(g.heldName, "");
  EXPECT_EQ(b.selectState, 0);

  // Any other item stays on the cursor and only cancels the selection.
  g.heldImage = 5;
  pressOn(g, 2, 2);
  placetiles(g);
  EXPECT_EQ(b.tileKind[2][2], kYellow);
  EXPECT_EQ(g.heldImage, 5);
  EXPECT_EQ(b.selectState, 0);
}

TEST_F(BoardTest, GapsFillFromAboveKeepingTheOrderOfTheTiles) {
  layOut(g, {"YPG", ".GP", "RPG", ".YP"});
  settle();
  // Column 1 held Y over R with two gaps: they drop to the bottom and two new tiles come in.
  EXPECT_EQ(b.tileKind[1][3], kYellow);
  EXPECT_EQ(b.tileKind[1][4], kRed);
  for (int r = 1; r <= 4; ++r) {
    EXPECT_NE(b.tileKind[1][r], kEmpty);
    EXPECT_EQ(b.tileMoving[1][r], 0);
    EXPECT_EQ(b.tileY[1][r], TileBoard::restY(48, r));
  }
}

TEST_F(BoardTest, TheHintSearchShakesTheFirstPossibleMoveEvery500Frames) {
  struct Case {
    Rows board, shaken;
  };
  const Case cases[] = {
      {{"YYPYG", "GPGPY"}, {"..**.", "....."}},  // move the fourth tile left
      {{"YPYYG", "GPGPY"}, {"**...", "....."}},  // move the first tile right
      {{"YPYG", "GYPP"}, {".*..", ".*.."}},      // lift the middle tile from below
      {{"PYGP", "YGYG"}, {".*..", ".*.."}},      // drop the tile down between its pair
  };
  for (const Case& k : cases) {
    layOut(g, k.board);
    b.hintTimer = 1;
    placetiles(g);
    EXPECT_EQ(marks(g, b.tileHint), joined(k.shaken)) << joined(k.board);
    EXPECT_EQ(b.hintTimer, 500);
  }
  // The search waits for its timer.
  layOut(g, cases[0].board);
  b.hintTimer = 2;
  placetiles(g);
  EXPECT_EQ(marks(g, b.tileHint), joined({".....", "....."}));
}

TEST_F(BoardTest, ADriftingBoardSlidesAPixelEveryTenFramesAndTurnsAtItsEdge) {
  layOut(g, {"YPG", "GYP"});
  g.driftDir = 1;
  g.driftTimer = 1;
  frames(11);
  EXPECT_EQ(g.boardOffsetX, 2);
  g.boardOffsetX = 251;
  placetiles(g);
  EXPECT_EQ(g.driftDir, 2);
}

TEST_F(BoardTest, AScatteredBoardFliesHomeAndPlaysOn) {
  layOut(g, {"YPGPY", "GYPGP", "RGRRG", "PGYPY"});
  g.driftDir = 1;
  g.driftTimer = 1;
  g.scatterRequest = true;
  placetiles(g);
  EXPECT_FALSE(g.scatterRequest);
  EXPECT_EQ(b.scatterLeft, 20);
  EXPECT_GT(g.boardOffsetX + g.boardOffsetY, 0);
  settle();
  EXPECT_EQ(kinds(g), joined({"YPGPY", "GYPGP", "RGRRG", "PGYPY"}));
  for (int r = 1; r <= 4; ++r) {
    for (int c = 1; c <= 5; ++c) {
      EXPECT_EQ(b.tileX[c][r], TileBoard::restX(48, c));
      EXPECT_EQ(b.tileY[c][r], TileBoard::restY(48, r));
    }
  }
  // The board takes clicks again where it now lies.
  pressOn(g, 2, 3);
  placetiles(g);
  pressOn(g, 2, 2);
  placetiles(g);
  EXPECT_EQ(b.selectState, 10);
}

TEST_F(BoardTest, AShiftedBoardHatchesAtTheTilesBoardCoordinates) {
  layOut(g, {"YPGPY", "RRRRG", "PGYPY"});
  g.boardOffsetX = 120;
  g.boardOffsetY = 30;
  frames(14);
  ASSERT_EQ(hatched("R"), 1);
  EXPECT_EQ(g.spiders[1].spiderX, 48 + 10);
  EXPECT_EQ(g.spiders[1].spiderY, 48 + 28 + 15);
}

TEST_F(BoardTest, FallingTilesSettingsRefillWithAirAndKeepHintsStill) {
  constexpr BoardSettings kFalling{.airRefill = true, .hintShake = false, .undoToSavedY = true};
  layOut(g, {"Y.P", "GYP", "PGY"});
  b.tileHint[1][3] = 20;
  for (int i = 0; i < 20; ++i) runTileBoard(g, b, firstBoardCounts(g), kFalling);
  EXPECT_EQ(kinds(g), joined({"YAP", "GYP", "PGY"}));
  EXPECT_EQ(b.tileHint[1][3], 20);
}

TEST_F(BoardTest, TheLevelCompletesTheFrameAfterTheCountReachesTheGoal) {
  layOut(g, {"YPG", "GYP"});
  for (int r = 1; r <= 2; ++r)
    for (int c = 1; c <= 3; ++c) b.tileConverted[c][r] = 1;
  placetiles(g);
  EXPECT_EQ(g.clearedCount, 6);
  EXPECT_FALSE(g.levelComplete);
  placetiles(g);
  EXPECT_TRUE(g.levelComplete);
  EXPECT_EQ(g.tallyDelay, 50);
}

TEST_F(BoardTest, ALongCascadeStartsTheBonusCounter) {
  layOut(g, {"YPG", "GYP"});
  b.cascadeFrames = 125;  // a chain that ran 125 frames has just settled
  placetiles(g);
  EXPECT_EQ(g.bonusTimer, 12);  // 12.5 rounds to even
  EXPECT_EQ(b.cascadeFrames, 0);
}

TEST_F(BoardTest, TheSecondBoardCompletesTheLevelOnItsOwn) {
  g.board2Cols = g.board2Rows = 6;
  g.secondBoardCells = 36;
  layOut(g, {"YPG", "GYP"});
  TileBoard& second = g.tiles.second;
  for (int r = 1; r <= 6; ++r) {
    for (int c = 1; c <= 6; ++c) {
      second.tileKind[c][r] = (c + r) % 4 + 1;
      second.tileX[c][r] = TileBoard::restX(248, c);
      second.tileY[c][r] = TileBoard::restY(148, r);
      second.tileConverted[c][r] = 1;
    }
  }
  placetiles(g);
  placetiles2(g);
  placetiles(g);
  placetiles2(g);
  EXPECT_EQ(g.clearedCount, 0);
  EXPECT_TRUE(g.levelComplete);

  // A press on the second board selects there and leaves the first board alone.
  g.levelComplete = false;
  g.mouseX = 248 + 28 + 12;
  g.mouseY = 148 + 12;
  g.mouseButton = kLeft;
  placetiles(g);
  placetiles2(g);
  EXPECT_EQ(g.tiles.first.selectState, 0);
  EXPECT_EQ(second.selectState, 1);
  EXPECT_EQ(second.selectedCol, 2);
}

}  // namespace
}  // namespace mv::test
