// SPDX-License-Identifier: GPL-3.0-or-later
// The second board of two-board levels: its own selection, swaps, hints and bonus tile beside the
// first board, always at rest on the screen, reporting into the shared level counters.
#include <algorithm>

#include "board/tiles.h"
#include "core/level.h"
#include "core/startup.h"
#include "game_fixture.h"
#include "tile_bot.h"
#include "tile_grid.h"

namespace mv::test {
namespace {

const Rows kCalm = {"YRGPYR", "GPYRGP", "YRGPYR", "GPYRGP", "YRGPYR", "GPYRGP"};

class SecondBoardTest : public GameTest {
 protected:
  TileBoard& first = g.tiles.first;
  TileBoard& second = g.tiles.second;

  void SetUp() override {
    layOut(g, kCalm);
    layOutSecond(kCalm);
    first.hintTimer = second.hintTimer = 300;
  }
  void layOutSecond(const Rows& rows) {
    second = TileBoard{};
    g.board2Cols = g.board2Rows = 6;
    g.secondBoardCells = 36;
    for (int r = 1; r <= 6; ++r) {
      for (int c = 1; c <= 6; ++c) {
        second.tileKind[c][r] = kindOf(rows[r - 1][c - 1]);
        second.tileX[c][r] = TileBoard::restX(248, c);
        second.tileY[c][r] = TileBoard::restY(148, r);
      }
    }
  }
  std::string secondKinds() const {
    Rows rows;
    for (int r = 1; r <= 6; ++r) {
      std::string row;
      for (int c = 1; c <= 6; ++c) row += charOf(second.tileKind[c][r]);
      rows.push_back(row);
    }
    return joined(rows);
  }
  // Both boards, one after the other, as the frame loop runs them.
  void frames(int n) {
    for (int i = 0; i < n; ++i) {
      placetiles(g);
      placetiles2(g);
    }
  }
  void pressSecond(int c, int r) {
    g.mouseX = TileBoard::restX(248, c) + 12;
    g.mouseY = TileBoard::restY(148, r) + 12;
    g.mouseButton = kLeft;
  }
  int soundsPlayed(int sound) const {
    const std::string entry = "play " + std::to_string(sound);
    return static_cast<int>(std::count(h.sounds->log.begin(), h.sounds->log.end(), entry));
  }
};

TEST_F(SecondBoardTest, EachBoardKeepsItsOwnSelectionAndASwapOnOneLeavesTheOtherFree) {
  frames(2);
  pressSecond(3, 3);
  frames(1);
  EXPECT_EQ(second.selectState, 1);
  EXPECT_EQ(first.selectState, 0) << "a click taken by one board is not seen by the other";

  pressOn(g, 1, 1);
  frames(1);
  pressOn(g, 2, 1);
  frames(1);
  ASSERT_EQ(first.selectState, 10) << "the first board swaps";
  pressSecond(4, 3);
  frames(1);
  EXPECT_EQ(second.selectState, 10) << "the second board swaps while the first one moves";
  EXPECT_EQ(second.swapColA, 4);
  EXPECT_EQ(second.swapColB, 3);
}

TEST_F(SecondBoardTest, ASwapWithoutARunFliesBackInTheSecondBoardsOwnCells) {
  frames(2);
  pressSecond(1, 1);
  frames(1);
  pressSecond(1, 2);
  frames(1);
  for (int i = 0; i < 30 && second.selectState != 0; ++i) frames(1);
  EXPECT_EQ(secondKinds(), joined({"GRGPYR", "YPYRGP", "YRGPYR", "GPYRGP", "YRGPYR", "GPYRGP"}));
  for (int i = 0; i < 30 && soundsPlayed(12) == 0; ++i) frames(1);
  for (int i = 0; i < 30 && second.selectState != 0; ++i) frames(1);
  EXPECT_EQ(soundsPlayed(12), 1);
  EXPECT_EQ(secondKinds(), joined(kCalm));
  EXPECT_EQ(second.tileX[1][1], 248);
  EXPECT_EQ(second.tileY[1][2], 148 + 28);
  EXPECT_EQ(joined(Rows{kinds(g)}), joined(Rows{joined(kCalm)})) << "the first board is untouched";
}

TEST_F(SecondBoardTest, ItStaysAtRestWhileTheFirstBoardDriftsAndNeverTakesAScatter) {
  g.boardOffsetX = 120;
  g.boardOffsetY = 40;
  g.driftDir = 1;
  g.driftTimer = 5;
  g.scatterRequest = true;
  placetiles2(g);
  placetiles2(g);
  EXPECT_TRUE(g.scatterRequest);
  EXPECT_EQ(g.driftTimer, 5);
  EXPECT_EQ(g.boardOffsetX, 120);
  EXPECT_EQ(second.tileX[6][6], 248 + 5 * 28);

  // The cursor finds its tiles where they rest, whatever the first board's offset.
  pressSecond(2, 5);
  placetiles2(g);
  EXPECT_EQ(second.selectState, 1);
  EXPECT_EQ(second.selectedCol, 2);
  EXPECT_EQ(second.selectedRow, 5);
}

TEST_F(SecondBoardTest, HintSearchAndBonusTileRunOnTheirOwnClocks) {
  layOutSecond({"YYRYGP", "GPYRGP", "YRGPYR", "GPYRGP", "YRGPYR", "GPYRGP"});
  second.hintTimer = 1;
  frames(1);
  EXPECT_GT(second.tileHint[3][1], 0);
  EXPECT_GT(second.tileHint[4][1], 0);
  EXPECT_EQ(second.hintTimer, 500);
  EXPECT_EQ(first.hintTimer, 299);

  // The first board's bonus comes on a dice of 1, the second board's on 2, from its 36 cells.
  g.frameDice = 2;
  frames(1);
  EXPECT_EQ(first.bonusTile, 0);
  EXPECT_GE(second.bonusTile, 1);
  EXPECT_LE(second.bonusTile, 36);
  EXPECT_EQ(second.bonusTileTimer, 100);
  g.frameDice = 1;
  frames(1);
  EXPECT_GE(first.bonusTile, 1);
  EXPECT_EQ(second.bonusTileTimer, 99);
}

TEST_F(SecondBoardTest, ItsBonusTileAndHatchingUseItsOwnScreenPlace) {
  layOutSecond({"YRGPYR", "GPYRGP", "RRRRGR", "GPYRGP", "YRGPYR", "GPYRGP"});
  frames(14);
  int hatched = 0;
  for (int i = 1; i <= kSpiderSlots; ++i) {
    if (g.spiders[i].spiderLife > 0 && g.spiders[i].spiderColour == "R") {
      ++hatched;
      EXPECT_EQ(g.spiders[i].spiderX, 248 + 10);
      EXPECT_EQ(g.spiders[i].spiderY, 148 + 2 * 28 + 15);
    }
  }
  EXPECT_EQ(hatched, 1);

  layOutSecond(kCalm);
  frames(2);
  second.bonusTile = 6 + 2;  // scan index of cell (2, 2)
  second.bonusTileTimer = 50;
  pressSecond(2, 2);
  frames(1);
  EXPECT_EQ(g.quakeX, TileBoard::restX(248, 2) + 10);
  EXPECT_EQ(g.quakeY, TileBoard::restY(148, 2) - 290);
  EXPECT_EQ(g.levelHintX, TileBoard::restX(248, 2));
  EXPECT_EQ(second.selectState, 0);
  // The cell, right, right-below, below, left, left-above and above.
  EXPECT_EQ(marks(g, second.tileBlast),
            joined({"**....", "***...", ".**...", "......", "......", "......"}));
}

TEST_F(SecondBoardTest, TheNearGoalHintComesOncePerLevelFromEitherBoard) {
  for (int r = 1; r <= 2; ++r)
    for (int c = 1; c <= 6; ++c) second.tileConverted[c][r] = 1;
  frames(2);
  EXPECT_EQ(g.tiles.board2Converted, 12);
  EXPECT_TRUE(g.nearGoalHinted);
  EXPECT_EQ(g.hintIndex, 8);
  g.hintIndex = 0;
  for (int r = 1; r <= 2; ++r)
    for (int c = 1; c <= 6; ++c) first.tileConverted[c][r] = 1;
  frames(2);
  EXPECT_EQ(g.hintIndex, 0) << "the latch is shared";
  EXPECT_FALSE(g.levelComplete);
}

TEST_F(SecondBoardTest, APlayerSwappingTilesOnBothBoardsReachesTheTallyOfALevelOfKindTwo) {
  g.playerName = "ANNA";
  FormCreate(g, 5);
  g.menuOpen = false;
  g.hintStep = 5;
  g.scaryOn = false;  // no ghost takes a spider
  g.level = 2;
  g.levelType = 2;
  newlevel(g);
  g.introStage = 0;
  TileBot bot(g, {{&first, 6, 6, 48, 48, true}, {&second, 6, 6, 248, 148, false}});
  for (int f = 0; f < 20000 && !g.levelComplete && !g.allSpidersDead; ++f) bot.frame();
  EXPECT_TRUE(g.levelComplete);
  EXPECT_FALSE(g.allSpidersDead);
  EXPECT_GT(bot.moves, 5);
  EXPECT_TRUE(g.clearedCount >= 36 || g.tiles.board2Converted >= 36);
}

}  // namespace
}  // namespace mv::test
