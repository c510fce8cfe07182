// SPDX-License-Identifier: GPL-3.0-or-later
// The shooting puzzle's rules as a player meets them: the 15 x 10 grid drawn as ten lines of
// text, row 1 (the top) first, with a space for open space.
#include <algorithm>

#include "core/frame.h"
#include "core/level.h"
#include "game_fixture.h"
#include "ring_grid.h"

namespace mv::test {
namespace {

const std::string kOpenRow(15, ' ');
// Three rows of wall with no run, open space below.
const std::vector<std::string> kWall = {
    "YRGPYRGPYRGPYRG", "GPYRGPYRGPYRGPY", "YRGPYRGPYRGPYRG", kOpenRow, kOpenRow,
    kOpenRow,          kOpenRow,          kOpenRow,          kOpenRow, kOpenRow,
};

class ShootTest : public GameTest {
 protected:
  RingPuzzle& p = g.ring;

  void SetUp() override {
    makeshootpuzzle(g);
    g.maxSpiders = 20;
  }
  void frames(int n) {
    for (int i = 0; i < n; ++i) shootpuzzle(g);
  }
  static int tileX(int c) { return 50 + 28 * c; }
  static int tileY(int r) { return 50 + 28 * r; }
  // Moves the shooter so its left edge is at x and fires.
  void fireFrom(int x) {
    g.mouseX = x + 12;
    g.mouseY = 410;
    g.mouseButton = kLeft;
    shootpuzzle(g);
    g.mouseButton = kNoClick;
  }
  // Runs frames until the shot has landed or been lost.
  void untilShotEnds() {
    for (int i = 0; i < 40 && p.shotTimer > 0; ++i) shootpuzzle(g);
    EXPECT_EQ(p.shotTimer, 0);
  }
  std::string grid() const { return ringColours(p, 15, 10); }
  std::string bursting() const {
    return ringMarks(p, 15, 10, [](const RoundSlot& t) { return t.vanish > 0; });
  }
  std::vector<std::string> wallWith(int c, int r, char colour) const {
    std::vector<std::string> rows = kWall;
    rows[r - 1][c - 1] = colour;
    return rows;
  }
  int hatched(const std::string& colour) const {
    int n = 0;
    for (int i = 1; i <= kSpiderSlots; ++i)
      if (g.spiders[i].spiderLife > 0 && g.spiders[i].spiderColour == colour) ++n;
    return n;
  }
};

TEST_F(ShootTest, SetUpHangsThreeRowsWithNoRunOverOpenSpace) {
  for (uint64_t seed = 1; seed <= 20; ++seed) {
    g.rng = Random(seed);
    makeshootpuzzle(g);
    for (int r = 1; r <= 10; ++r) {
      for (int c = 1; c <= 15; ++c) {
        const int k = p.at(c, r).colour;
        if (r > 3) {
          ASSERT_EQ(k, kOpen);
          continue;
        }
        ASSERT_TRUE(k >= 1 && k <= 4);
        EXPECT_FALSE(k == p.at(c + 1, r).colour && k == p.at(c + 2, r).colour);
        EXPECT_FALSE(k == p.at(c, r + 1).colour && k == p.at(c, r + 2).colour);
      }
    }
    EXPECT_TRUE(p.shotColour >= 1 && p.shotColour <= 4);
  }
  EXPECT_EQ(g.tileGoal, 80);
  EXPECT_EQ(p.at(1, 1).x, 78);
  EXPECT_EQ(p.at(15, 10).y, 330);
  EXPECT_EQ(p.at(4, 0).y, 150);
  EXPECT_EQ(p.shotTimer, 0);
  EXPECT_EQ(p.shotY, 400);
}

TEST_F(ShootTest, AShotSticksUnderTheLowestTileOfItsColumn) {
  paint(p, kWall);
  p.shotColour = kRed;  // column 5 ends in yellow, green above: no run
  fireFrom(tileX(5));
  untilShotEnds();
  EXPECT_EQ(grid(), lines(wallWith(5, 4, 'R')));
  EXPECT_EQ(p.shotY, 400);
}

TEST_F(ShootTest, AShotBetweenTwoColumnsSticksUnderTheFirstTileItReaches) {
  // Column 6 reaches down to row 4: the shot meets it first.
  paint(p, wallWith(6, 4, 'G'));
  p.shotColour = kYellow;
  fireFrom(tileX(5) + 12);
  untilShotEnds();
  std::vector<std::string> expect = wallWith(6, 4, 'G');
  expect[4][5] = 'Y';
  EXPECT_EQ(grid(), lines(expect));
  // Both end in row 3: the left column takes it.
  paint(p, kWall);
  p.shotColour = kPurple;
  fireFrom(tileX(5) + 12);
  untilShotEnds();
  EXPECT_EQ(grid(), lines(wallWith(5, 4, 'P')));
}

TEST_F(ShootTest, UnderAFullColumnTheShotRecoloursTheBottomTile) {
  std::vector<std::string> rows = kWall;
  const std::string column = "YRGPYRGPYR";
  for (int r = 0; r < 10; ++r) rows[r][7] = column[r];
  paint(p, rows);
  p.shotColour = kGreen;
  fireFrom(tileX(8));
  untilShotEnds();
  rows[9][7] = 'G';
  EXPECT_EQ(grid(), lines(rows));
  EXPECT_EQ(p.at(8, 11).colour, 0);  // nothing is written below the grid
}

TEST_F(ShootTest, AShotMeetingATileStillDroppingIntoTheBottomRowLandsInTheBottomSlot) {
  std::vector<std::string> rows = kWall;
  const std::string column = "YRGPYRGPY";
  for (int r = 0; r < 9; ++r) rows[r][7] = column[r];
  paint(p, rows);
  p.shotColour = kYellow;
  fireFrom(tileX(8));
  frames(6);
  ASSERT_GT(p.shotTimer, 0);
  // A green tile two frames into its drop from row 9 to row 10, as the shot comes up to it.
  RoundSlot& dropping = p.at(8, 10);
  dropping.colour = kGreen;
  dropping.y = tileY(10) - 20;
  dropping.targetX = dropping.x;
  dropping.targetY = tileY(10);
  dropping.moving = 1;
  frames(1);
  EXPECT_EQ(p.shotTimer, 0) << "the shot met the dropping tile";
  EXPECT_EQ(p.at(8, 10).colour, kYellow);
  EXPECT_EQ(p.at(8, 11).colour, 0) << "nothing is written below the grid";
  // Yellow in rows 9 and 10 is no run: there is no row 11 to make a third.
  frames(10);
  rows[9][7] = 'Y';
  EXPECT_EQ(grid(), lines(rows));
  EXPECT_EQ(bursting(), lines(std::vector<std::string>(10, std::string(15, '.'))));
}

TEST_F(ShootTest, SlotsOffTheGridNeverJoinARun) {
  std::vector<std::string> rows = kWall;
  rows[8][3] = rows[9][3] = 'R';
  rows[0][13] = rows[0][14] = 'G';
  paint(p, rows);
  // Stray colours just past the bottom row and the last column.
  p.at(4, 11).colour = p.at(4, 12).colour = kRed;
  p.at(16, 1).colour = p.at(17, 1).colour = kGreen;
  frames(1);
  EXPECT_EQ(bursting(), lines(std::vector<std::string>(10, std::string(15, '.'))));
  EXPECT_EQ(p.at(4, 11).vanish, 0);
  EXPECT_EQ(p.at(16, 1).vanish, 0);
}

TEST_F(ShootTest, AShotThatMeetsNothingIsLostAtTheTop) {
  std::vector<std::string> rows = kWall;
  for (int r = 0; r < 3; ++r) rows[r][1] = ' ';
  paint(p, rows);
  fireFrom(tileX(2));
  frames(28);
  EXPECT_EQ(p.shotTimer, 10);
  EXPECT_EQ(p.shotY, 110);
  frames(1);
  EXPECT_EQ(p.shotTimer, 0);
  EXPECT_EQ(p.shotY, 400);
  EXPECT_EQ(grid(), lines(rows));
}

TEST_F(ShootTest, RunsDownHatchAndMoveTheHintOnOnlyFromFour) {
  g.hintStep = 1;
  paint(p, {"YRGPYRGPYRGPYRG", "GPYRGPYRGPYRGPY", "YRGPYRGPYRGPYRG", kOpenRow});
  // Column 3 green down rows 1..4; column 9 yellow down rows 1..3.
  p.at(3, 2).colour = p.at(3, 3).colour = p.at(3, 4).colour = kGreen;
  p.at(9, 2).colour = kYellow;
  p.at(9, 3).colour = kYellow;
  p.at(9, 1).colour = kYellow;
  frames(1);
  EXPECT_EQ(ringMarks(p, 15, 5, [](const RoundSlot& t) { return t.vanish > 0; }),
            "..*.....*......\n"
            "..*.....*......\n"
            "..*.....*......\n"
            "..*............\n"
            "...............\n");
  EXPECT_EQ(g.hintStep, 2);
  frames(13);
  EXPECT_EQ(hatched("G"), 1);
  EXPECT_EQ(hatched("Y"), 0);
  EXPECT_EQ(g.score, 70);
}

TEST_F(ShootTest, RunOfThreeDownLeavesTheHintAloneButOneAcrossMovesIt) {
  g.hintStep = 1;
  paint(p, wallWith(9, 2, 'Y'));  // Y over Y over Y at column 9
  frames(1);
  EXPECT_GT(p.at(9, 1).vanish, 0);
  EXPECT_EQ(g.hintStep, 1);
  makeshootpuzzle(g);
  std::vector<std::string> rows = kWall;
  rows[0].replace(0, 3, "YYY");
  paint(p, rows);
  frames(1);
  EXPECT_GT(p.at(1, 1).vanish, 0);
  EXPECT_EQ(g.hintStep, 2);
}

TEST_F(ShootTest, NoRunReachesPastTheLastColumn) {
  std::vector<std::string> rows = kWall;
  rows[0] = "GRGPYRGPYRGPYYY";  // Y at 13..15: a run
  rows[1] = "YPYRGPYRGPYRGPY";  // and Y at the start of the next row
  paint(p, rows);
  frames(1);
  EXPECT_EQ(ringMarks(p, 15, 2, [](const RoundSlot& t) { return t.vanish > 0; }),
            "............***\n...............\n");
  makeshootpuzzle(g);
  rows[0][12] = 'G';  // only Y Y at 14, 15 now
  paint(p, rows);
  frames(1);
  EXPECT_EQ(ringMarks(p, 15, 2, [](const RoundSlot& t) { return t.vanish > 0; }),
            "...............\n...............\n");
}

TEST_F(ShootTest, BonusTileBurstsItsNeighboursAndLeavesTheClickAlone) {
  paint(p, kWall);
  p.bonusTile = 15 + 5;  // column 5, row 2
  p.bonusTileTimer = 100;
  g.mouseX = tileX(5) + 10;
  g.mouseY = tileY(2) + 10;
  g.mouseButton = kLeft;
  frames(1);
  EXPECT_EQ(ringMarks(p, 15, 3, [](const RoundSlot& t) { return t.vanish > 0; }),
            "...**..........\n"
            "...***.........\n"
            "....**.........\n");
  EXPECT_EQ(g.score, 100);
  EXPECT_EQ(g.mouseButton, kLeft);
  EXPECT_TRUE(h.sounds->log.empty());
  EXPECT_EQ(p.selectState, 0);
}

TEST_F(ShootTest, BonusLookOnOpenSpaceTakesNoClick) {
  paint(p, kWall);
  p.bonusTile = 5 * 15 + 5;  // column 5, row 6: open space
  p.bonusTileTimer = 100;
  g.mouseX = tileX(5) + 10;
  g.mouseY = tileY(6) + 10;
  g.mouseButton = kLeft;
  frames(1);
  EXPECT_EQ(p.bonusTile, 5 * 15 + 5);
  EXPECT_EQ(g.score, 0);
  EXPECT_EQ(bursting().find('*'), std::string::npos);
}

// Picks where to fire the loaded colour: under a column whose two lowest tiles have its colour,
// else beside two of its colour in the row below a column, else under the shortest column.
int aim(const RingPuzzle& p) {
  int lowest[16] = {};
  for (int c = 1; c <= 15; ++c)
    for (int r = 1; r <= 10; ++r)
      if (p.at(c, r).colour >= 1 && p.at(c, r).colour <= 4) lowest[c] = r;
  const int m = p.shotColour;
  for (int c = 1; c <= 15; ++c) {
    const int r = lowest[c];
    if (r >= 2 && r < 10 && p.at(c, r).colour == m && p.at(c, r - 1).colour == m) return c;
  }
  for (int c = 1; c <= 15; ++c) {
    const int r = lowest[c] + 1;
    if (r > 10) continue;
    if ((p.at(c - 1, r).colour == m && p.at(c - 2, r).colour == m) ||
        (p.at(c + 1, r).colour == m && p.at(c + 2, r).colour == m) ||
        (p.at(c - 1, r).colour == m && p.at(c + 1, r).colour == m))
      return c;
  }
  int best = 1;
  for (int c = 1; c <= 15; ++c)
    if (lowest[c] < lowest[best]) best = c;
  return best;
}

TEST_F(ShootTest, AShootingLevelPlaysThroughTheFrameLoopToTheTally) {
  g.level = 5;
  g.levelType = 5;
  g.scaryOn = false;
  newlevel(g);
  ASSERT_TRUE(g.shootPuzzleOn);
  ASSERT_EQ(g.tileGoal, 80);
  g.menuOpen = false;
  g.introStage = 0;
  g.hintStep = 6;
  for (int f = 0; f < 20000 && !g.levelComplete; ++f) {
    g.mouseButton = kNoClick;
    if (p.shotTimer == 0 && !p.busy && !p.wasBusy) {
      g.mouseX = tileX(aim(p)) + 12;
      g.mouseY = 410;
      g.mouseButton = kLeft;
    }
    playFrame(g);
  }
  EXPECT_TRUE(g.levelComplete);
  EXPECT_GE(g.score, 800);
  EXPECT_FALSE(g.allSpidersDead);
}

}  // namespace
}  // namespace mv::test
