// SPDX-License-Identifier: GPL-3.0-or-later
// The falling-tiles puzzle: its grid, the rising stack, the row shift with its lightning, air in
// the gaps, and the level played through the frame loop.
#include "puzzles/fall.h"

#include <algorithm>
#include <initializer_list>

#include "core/frame.h"
#include "core/level.h"
#include "core/startup.h"
#include "game_fixture.h"
#include "tile_bot.h"
#include "tile_grid.h"

namespace mv::test {
namespace {

const std::string kAirRow = "AAAAAAAAAA";

// Eleven rows of air over four rows of tiles that hold no run and cannot make one by moving up.
Rows stack() {
  Rows rows(11, kAirRow);
  for (const char* row : {"YRGPYRGPYR", "GPYRGPYRGP", "YRGPYRGPYR", "GPYRGPYRGP"})
    rows.push_back(row);
  return rows;
}

class FallTest : public GameTest {
 protected:
  TileBoard& b = g.tiles.first;

  void SetUp() override { g.difficultyOn = false; }
  void frames(int n) {
    for (int i = 0; i < n; ++i) fallpuzzle(g);
  }
  // Starts the puzzle on a board laid out as drawn.
  void start(const Rows& rows) {
    layOut(g, rows);
    g.tileGoal = kFallGoal;
    g.fallPuzzleOn = true;
  }
  // The first board's kinds of rows `from`..`to` as text.
  std::string kindRows(int from, int to) const {
    Rows rows;
    for (int r = from; r <= to; ++r) {
      std::string row;
      for (int c = 1; c <= g.boardCols; ++c) row += charOf(b.tileKind[c][r]);
      rows.push_back(row);
    }
    return joined(rows);
  }
  // After a shift, replaces the random new bottom row by one that makes no run, so that only
  // the columns `keep` burst there.
  void calmBottomRow(std::initializer_list<int> keep) {
    const std::string row = "YRGPYRGPYR";
    for (int c = 1; c <= kFallCols; ++c) {
      b.tileKind[c][kFallRows] = kindOf(row[c - 1]);
      if (std::find(keep.begin(), keep.end(), c) == keep.end()) {
        b.tileBlast[c][kFallRows] = 0;
        b.tileHatch[c][kFallRows] = 0;
      }
    }
  }
};

TEST_F(FallTest, ALevelOfKindSixBuildsAirOverFourRowsOfTilesWithNoRun) {
  for (int seed = 1; seed <= 100; ++seed) {
    g.rng.seed(seed);
    g.difficultyOn = seed % 2 == 0;
    g.level = 12;
    g.levelType = 6;
    g.boardOffsetY = 40;
    g.fall.shiftTick = 200;
    g.fall.riseTick = 7;
    newlevel(g);
    ASSERT_EQ(g.boardCols, 10);
    ASSERT_EQ(g.boardRows, 15);
    ASSERT_EQ(g.tileGoal, 50);
    ASSERT_EQ(g.boardRight, 338);
    ASSERT_EQ(g.boardBottom, 483);
    ASSERT_EQ(g.boardOffsetX, 0);
    ASSERT_EQ(g.boardOffsetY, 0);
    ASSERT_EQ(g.driftTimer, 0);
    ASSERT_EQ(g.fall.shiftTick, 0) << "a new stack starts its rise from the bottom";
    ASSERT_EQ(g.fall.riseTick, 0);
    ASSERT_EQ(kindRows(1, 11), joined(Rows(11, kAirRow))) << "seed " << seed;
    for (int r = 12; r <= 15; ++r) {
      for (int c = 1; c <= 10; ++c) {
        const int k = b.tileKind[c][r];
        ASSERT_TRUE(k >= 1 && k <= 5) << c << "," << r;
        ASSERT_FALSE(k == b.tileKind[c + 1][r] && k == b.tileKind[c + 2][r]) << "seed " << seed;
        ASSERT_FALSE(r <= 13 && k == b.tileKind[c][r + 1] && k == b.tileKind[c][r + 2])
            << "seed " << seed;
        ASSERT_EQ(b.tileTargetX[c][r], b.tileX[c][r]);
        ASSERT_EQ(b.tileTargetY[c][r], 48 + 28 * (r - 1));
      }
    }
    ASSERT_EQ(b.tileKind[11][15], 0);
    ASSERT_EQ(b.tileKind[1][16], 0);
  }
  // The first frame lands every cell where it stands.
  const std::string before = kindRows(1, 15);
  fallpuzzle(g);
  EXPECT_EQ(kindRows(1, 15), before);
  EXPECT_EQ(b.tileMoving[4][14], 0);
  EXPECT_EQ(b.tileTargetY[4][14], 0);
}

TEST_F(FallTest, TheStackRisesAPixelEveryTenFramesAndMovesUpARowEvery270) {
  start(stack());
  b.tileConverted[1][15] = 1;
  frames(10);
  EXPECT_EQ(g.boardOffsetY, -1);
  frames(259);
  EXPECT_EQ(g.boardOffsetY, -26);
  EXPECT_EQ(kindRows(12, 15), joined({"YRGPYRGPYR", "GPYRGPYRGP", "YRGPYRGPYR", "GPYRGPYRGP"}));
  fallpuzzle(g);  // frame 270
  EXPECT_EQ(g.boardOffsetY, 0);
  EXPECT_EQ(g.fall.shiftTick, 0);
  EXPECT_EQ(kindRows(1, 14),
            joined({kAirRow, kAirRow, kAirRow, kAirRow, kAirRow, kAirRow, kAirRow, kAirRow, kAirRow,
                    kAirRow, "YRGPYRGPYR", "GPYRGPYRGP", "YRGPYRGPYR", "GPYRGPYRGP"}));
  for (int c = 1; c <= 10; ++c) EXPECT_LE(b.tileKind[c][15], 5) << "a new row of tiles";
  EXPECT_EQ(b.tileConverted[1][15], 1) << "the converted flag stays with its cell";
  EXPECT_EQ(b.tileConverted[1][14], 0);
  EXPECT_EQ(b.tileY[1][11], 48 + 28 * 10) << "positions stay with their cells";
  EXPECT_EQ(g.quakeTimerA, 0);
}

TEST_F(FallTest, ATileInTheTopRowAtAShiftStrikesItsColumnAndOneSpiderDies) {
  Rows rows = stack();
  rows[0] = "ARAAYAAAAA";  // tiles in the top row of columns 2 and 5
  rows[1] = "AAAAAAAAAA";
  start(rows);
  g.fall.shiftTick = kShiftFrames - 1;
  fallpuzzle(g);
  calmBottomRow({2, 5});
  EXPECT_EQ(g.quakeTimerA, 30);
  EXPECT_EQ(g.quakeX, 48 + 4 * 28) << "the last struck column";
  EXPECT_EQ(g.quakeY, 48 - 290);
  EXPECT_TRUE(g.scareArmed);
  EXPECT_EQ(marks(g, b.tileBlast), joined(Rows(15, ".*..*.....")));
  EXPECT_EQ(kindRows(1, 1), joined({kAirRow})) << "the top tiles are gone";

  // Every cell of both columns converts, air and empty cells too, at 10 points each.
  const int score = g.score;
  frames(30);
  EXPECT_EQ(marks(g, b.tileConverted), joined(Rows(15, ".*..*.....")));
  EXPECT_EQ(g.score - score, 30 * 10);
  EXPECT_EQ(g.clearedCount, 30);
}

TEST_F(FallTest, TwoStrikesAtOneShiftCostOneSpiderThroughTheFrameLoop) {
  g.playerName = "ANNA";
  FormCreate(g, 7);
  g.menuOpen = false;
  g.hintStep = 5;
  g.scaryOn = false;
  g.level = 6;
  g.levelType = 6;
  newlevel(g);
  g.introStage = 0;
  EXPECT_TRUE(g.fallPuzzleOn);
  Rows rows = stack();
  rows[0] = "RAAAAAAAAY";
  start(rows);
  g.fall.shiftTick = kShiftFrames - 1;
  DXTimerTimer(g);
  EXPECT_EQ(g.quakeTimerA, 29) << "the strike is drawn in the frame it falls";
  int marked = 0;
  for (int i = 1; i <= kSpiderSlots; ++i) marked += g.spiders[i].spiderMarked > 0;
  EXPECT_EQ(marked, 1);
  EXPECT_FALSE(g.scareArmed);
}

TEST_F(FallTest, ATileInRowThreeAtAShiftHidesTheGoalUntilAShiftFindsNone) {
  Rows rows = stack();
  rows[2] = "AAAGAAAAAA";
  rows[3] = "AAAGAAAAAA";
  start(rows);
  g.fall.shiftTick = kShiftFrames - 1;
  fallpuzzle(g);
  EXPECT_TRUE(g.tilesNearTop);
  g.fall.shiftTick = kShiftFrames - 1;
  fallpuzzle(g);
  EXPECT_TRUE(g.tilesNearTop) << "the tile below moved up into row 3";
  g.fall.shiftTick = kShiftFrames - 1;
  fallpuzzle(g);
  EXPECT_FALSE(g.tilesNearTop);
}

TEST_F(FallTest, GapsFillWithAirFromAboveAndAirCannotBeSelected) {
  Rows rows = stack();
  rows[13] = "YRGPYRPPPR";  // a run of three in row 14
  start(rows);
  frames(40);
  Rows after(11, kAirRow);
  for (const char* row : {"YRGPYRAAAR", "GPYRGPGPYP", "YRGPYRYRGR", "GPYRGPYRGP"})
    after.push_back(row);
  EXPECT_EQ(kindRows(1, 15), joined(after)) << "nothing but air comes in from above";
  EXPECT_EQ(marks(g, b.tileConverted),
            joined({"..........", "..........", "..........", "..........", "..........",
                    "..........", "..........", "..........", "..........", "..........",
                    "..........", "..........", "..........", "......***.", ".........."}));

  // A press on air is not taken; a press on a tile of the risen stack is.
  g.boardOffsetY = -20;
  pressOn(g, 7, 12);
  fallpuzzle(g);
  EXPECT_EQ(g.mouseButton, kLeft);
  EXPECT_EQ(b.selectState, 0);
  pressOn(g, 7, 14);
  fallpuzzle(g);
  EXPECT_EQ(g.mouseButton, kNoClick);
  EXPECT_EQ(b.selectState, 1);
  EXPECT_EQ(b.selectedRow, 14);
}

TEST_F(FallTest, FiftyConvertedCellsCompleteTheLevel) {
  start(stack());
  for (int c = 1; c <= 10; ++c)
    for (int r = 1; r <= 5; ++r) b.tileConverted[c][r] = 1;
  fallpuzzle(g);
  EXPECT_FALSE(g.levelComplete);
  fallpuzzle(g);
  EXPECT_TRUE(g.levelComplete);
}

TEST_F(FallTest, APlayerSwappingTilesReachesTheTallyOfALevelOfKindSix) {
  g.playerName = "ANNA";
  FormCreate(g, 11);
  g.menuOpen = false;
  g.hintStep = 5;
  g.scaryOn = false;  // no ghost takes a spider
  g.level = 6;
  g.levelType = 6;
  newlevel(g);
  g.introStage = 0;
  TileBot bot(g, {{&b, kFallCols, kFallRows, 48, 48, true}}, true);
  for (int f = 0; f < 20000 && !g.levelComplete && !g.allSpidersDead; ++f) bot.frame();
  EXPECT_TRUE(g.levelComplete);
  EXPECT_FALSE(g.allSpidersDead);
  EXPECT_GT(bot.moves, 5);
  EXPECT_GE(g.clearedCount, kFallGoal);
}

}  // namespace
}  // namespace mv::test
