// SPDX-License-Identifier: GPL-3.0-or-later
// Level set-up: the boards dealt, the sizes, spiders and penalties each level kind starts with.
#include "core/level.h"

#include "board/deal.h"
#include "core/frame.h"
#include "core/levels.h"
#include "game_fixture.h"
#include "items/inventory.h"
#include "tile_grid.h"

namespace mv::test {
namespace {

class LevelTest : public GameTest {
 protected:
  int liveSpiders() const {
    int n = 0;
    for (int i = 1; i <= kSpiderSlots; ++i)
      if (g.spiders[i].spiderLife > 0) ++n;
    return n;
  }
  // Whether any row or column of `cols` x `rows` cells of board `b` holds three equal colours.
  static bool hasRun(const TileBoard& b, int cols, int rows) {
    for (int r = 1; r <= rows; ++r) {
      for (int c = 1; c <= cols; ++c) {
        const int k = b.tileKind[c][r];
        if (k == b.tileKind[c + 1][r] && k == b.tileKind[c + 2][r]) return true;
        if (k == b.tileKind[c][r + 1] && k == b.tileKind[c][r + 2]) return true;
      }
    }
    return false;
  }
};

TEST_F(LevelTest, DealtBoardsNeverHoldARunAndHaveEveryTileAtRest) {
  for (int seed = 1; seed <= 300; ++seed) {
    g.rng.seed(seed);
    g.level = 5;
    g.levelType = seed % 2 ? 1 : 2;
    g.difficultyOn = seed % 3 != 0;
    newlevel(g);
    ASSERT_FALSE(hasRun(g.tiles.first, g.boardCols, g.boardRows)) << "seed " << seed;
    ASSERT_FALSE(hasRun(g.tiles.second, g.board2Cols, g.board2Rows)) << "seed " << seed;
    for (int r = 1; r <= g.boardRows; ++r) {
      for (int c = 1; c <= g.boardCols; ++c) {
        ASSERT_GE(g.tiles.first.tileKind[c][r], 1);
        ASSERT_LE(g.tiles.first.tileKind[c][r], 5);
        ASSERT_EQ(g.tiles.first.tileX[c][r], 48 + 28 * (c - 1));
        ASSERT_EQ(g.tiles.first.tileY[c][r], 48 + 28 * (r - 1));
      }
    }
    // Cells beyond the grid read as nothing.
    ASSERT_EQ(g.tiles.first.tileKind[g.boardCols + 1][1], 0);
    ASSERT_EQ(g.tiles.first.tileKind[1][g.boardRows + 1], 0);
  }
}

TEST_F(LevelTest, TheEasierGameDealsFewerSkulls) {
  auto skulls = [&](bool easier) {
    g.difficultyOn = easier;
    int n = 0;
    for (int i = 0; i < 5000; ++i) n += freshTileColour(g) == kSkull;
    return n;
  };
  // One in five without help; one in five of three in five with it.
  EXPECT_NEAR(skulls(false), 1000, 120);
  EXPECT_NEAR(skulls(true), 600, 100);
}

TEST_F(LevelTest, LevelOneIsAtMostSevenColumnsWide) {
  bool sawSevenRows = false, sawTenRows = false;
  for (int seed = 1; seed <= 200; ++seed) {
    g.rng.seed(seed);
    g.level = 1;
    g.levelType = 1;
    newlevel(g);
    ASSERT_GE(g.boardCols, 7);
    ASSERT_LE(g.boardCols, 7);
    ASSERT_GE(g.boardRows, 7);
    ASSERT_LE(g.boardRows, 10);
    sawSevenRows |= g.boardRows == 7;
    sawTenRows |= g.boardRows == 10;
    ASSERT_EQ(g.tileGoal, g.boardCols * g.boardRows);
  }
  EXPECT_TRUE(sawSevenRows && sawTenRows);
}

TEST_F(LevelTest, ATwoBoardLevelHasTwoSixBySixBoardsEightSpidersAndNoDrift) {
  for (int seed = 1; seed <= 100; ++seed) {
    g.rng.seed(seed);
    g.level = 8;
    g.levelType = 2;
    g.boardOffsetY = 40;
    newlevel(g);
    ASSERT_EQ(g.boardCols, 6);
    ASSERT_EQ(g.boardRows, 6);
    ASSERT_EQ(g.board2Cols, 6);
    ASSERT_EQ(g.board2Rows, 6);
    ASSERT_EQ(g.secondBoardCells, 36);
    ASSERT_EQ(g.tileGoal, 36);
    ASSERT_EQ(g.maxSpiders, 8);
    ASSERT_EQ(g.startSpiders, 8);
    ASSERT_EQ(liveSpiders(), 8);
    ASSERT_EQ(g.driftTimer, 0);
    ASSERT_EQ(g.boardOffsetX, 0);
    ASSERT_EQ(g.boardOffsetY, 0);
    ASSERT_EQ(g.boardRight, 6 * 29 + 48);
    ASSERT_EQ(g.spiders[1].spiderX, 395);
    ASSERT_EQ(g.spiders[1].spiderY, 240);
  }
  EXPECT_EQ(g.tiles.second.tileX[1][1], 248);
  EXPECT_EQ(g.tiles.second.tileY[6][6], 148 + 5 * 28);
}

TEST_F(LevelTest, EachLevelKindStartsItsOwnSpidersAndPuzzle) {
  struct Kind {
    int levelType, maxSpiders, live;
    double x, y;
  };
  const Kind kinds[] = {{1, 20, 10, 350, 300},
                        {3, 2, 2, 426, 340},
                        {4, 20, 10, 350, 300},
                        {5, 2, 3, 350, 300},
                        {6, 20, 10, 350, 300}};
  for (const Kind& k : kinds) {
    g.level = 9;
    g.levelType = k.levelType;
    newlevel(g);
    EXPECT_EQ(g.maxSpiders, k.maxSpiders) << "kind " << k.levelType;
    EXPECT_EQ(liveSpiders(), k.live) << "kind " << k.levelType;
    for (int i = 1; i <= kSpiderSlots; ++i) {
      EXPECT_EQ(g.spiders[i].spiderX, k.x);
      EXPECT_EQ(g.spiders[i].spiderY, k.y);
    }
    EXPECT_EQ(g.roundPuzzleOn, k.levelType == 3);
    EXPECT_EQ(g.shootPuzzleOn, k.levelType == 5);
    EXPECT_EQ(g.fallPuzzleOn, k.levelType == 6);
    EXPECT_EQ(g.timeLeft, 500);
  }
  // The box puzzle's level always drifts.
  g.levelType = 4;
  newlevel(g);
  EXPECT_EQ(g.driftDir, 1);
  EXPECT_EQ(g.driftTimer, 1);
  EXPECT_TRUE(g.boxPuzzleOn);
}

TEST_F(LevelTest, EveryKindOfTheCyclePlaysItsOwnBoardOrPuzzle) {
  // A row of the table is complete: a level of each kind starts and plays, its puzzle's flag and
  // only that one set, clicks landing all over the screen.
  for (int t = 1; t <= levelKindCount(); ++t) {
    g.level = 9;
    g.levelType = t;
    g.menuOpen = false;
    newlevel(g);
    g.introStage = 0;
    for (int u = 1; u <= levelKindCount(); ++u) {
      if (levelKind(u).puzzleOn) {
        EXPECT_EQ(g.*levelKind(u).puzzleOn, u == t) << t << " " << u;
      }
    }
    for (int f = 0; f < 120; ++f) {
      g.mouseX = 40 + f * 37 % 700;
      g.mouseY = 40 + f * 53 % 520;
      g.mouseButton = f % 3 == 0 ? kLeft : kNoClick;
      DXTimerTimer(g);
    }
    EXPECT_EQ(g.levelType, t);
    EXPECT_FALSE(g.allSpidersDead) << "kind " << t;
  }
  EXPECT_EQ(nextLevelType(levelKindCount()), kBoardLevel);
  EXPECT_EQ(nextBackground(backgroundCount()), 1);
}

TEST_F(LevelTest, AFallingTilesLevelIsNotDealt) {
  g.level = 6;
  g.levelType = 2;
  newlevel(g);
  const int kind = g.tiles.second.tileKind[2][3];
  g.levelType = 6;
  newlevel(g);
  EXPECT_EQ(g.tiles.second.tileKind[2][3], kind);
  EXPECT_EQ(g.tiles.first.tileKind[2][3], kAir) << "the puzzle builds its own grid";
}

TEST_F(LevelTest, SpiderDeathCostsMoreOnLaterLevels) {
  const int expected[] = {10, 100, 150, 200, 200, 200};
  for (int level = 1; level <= 6; ++level) {
    g.level = level;
    newlevel(g);
    EXPECT_EQ(g.spiderDeathPenalty, expected[level - 1]) << "level " << level;
  }
}

TEST_F(LevelTest, WithScaryStuffOffNoGhostOrScareCanStart) {
  g.scaryOn = false;
  for (int level : {1, 5, 9}) {
    g.level = level;
    newlevel(g);
    EXPECT_EQ(g.ghostCount, 10);
    EXPECT_EQ(g.scareCount, 10);
  }
  g.scaryOn = true;
  g.level = 3;
  newlevel(g);
  EXPECT_EQ(g.ghostCount, 0);
  EXPECT_EQ(g.scareCount, 0);
}

TEST_F(LevelTest, IntrosOfTheSecondAndThirdLevels) {
  g.level = 2;
  g.soundLatch = true;
  newlevel(g);
  EXPECT_EQ(g.introStage, 2);
  EXPECT_FALSE(g.soundLatch);
  g.level = 3;
  newlevel(g);
  EXPECT_EQ(g.introStage, 3);
}

TEST_F(LevelTest, SpawnFillsASlotWithTheAskedColour) {
  const int frame = spawn(g, 4, kGreen);
  const Spider& s = g.spiders[4];
  EXPECT_EQ(s.spiderColour, "G");
  EXPECT_EQ(s.spiderSymbol, kGreen);
  EXPECT_EQ(s.spiderSize, 30);
  EXPECT_GE(s.spiderLife, 175);
  EXPECT_LE(s.spiderLife, 674);
  EXPECT_EQ(s.spiderFrame, frame);
  EXPECT_GE(frame, 1);
  EXPECT_LE(frame, 5);
}

TEST_F(LevelTest, ANewPlayerStartsOnTheFirstLevelOfTheCycleWithOnlyTheBook) {
  g.level = 14;
  g.levelType = 2;
  g.backgroundIndex = 4;
  g.score = 9000;
  g.charmGiven = true;
  g.inventoryOpen = false;
  g.allSpidersDead = true;
  // Nothing of the last player's passes on: not the item on the cursor, nor the open charm.
  hold(g, Item{"Blue Pearl", "Cracked", 22, 1400, 1, 1});
  g.charmOpen = true;
  g.charmGrid[1][1].name = "Sun Diamond";
  newplayerreset(g);
  EXPECT_EQ(g.heldImage, 0);
  EXPECT_EQ(g.heldName, "");
  EXPECT_FALSE(g.charmOpen);
  EXPECT_EQ(g.charmGrid[1][1].name, "");
  EXPECT_EQ(checkinventory(g, "Book of Jewels"), 1);
  EXPECT_EQ(checkinventory(g, ""), kInventoryCols * kInventoryRows - 1);
  EXPECT_EQ(g.level, 1);
  EXPECT_EQ(g.levelType, 1);
  EXPECT_EQ(g.backgroundIndex, 1);
  EXPECT_EQ(g.score, 0);
  EXPECT_FALSE(g.charmGiven);
  EXPECT_TRUE(g.inventoryOpen);
  EXPECT_FALSE(g.allSpidersDead);
  EXPECT_EQ(g.secondBoardCells, 0);
  EXPECT_LE(g.boardCols, 7);
  EXPECT_EQ(g.timeLeft, 500);
}

}  // namespace
}  // namespace mv::test
