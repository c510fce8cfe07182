// SPDX-License-Identifier: GPL-3.0-or-later
// The round puzzle's rules as a player meets them: three rings of 24 slots drawn as three lines
// of text, ring 1 (outer) first.
#include <algorithm>
#include <set>

#include "core/frame.h"
#include "core/level.h"
#include "game_fixture.h"
#include "ring_grid.h"

namespace mv::test {
namespace {

// No run anywhere, across the seam included.
const std::vector<std::string> kQuiet = {
    "YRGPYRGPYRGPYRGPYRGPYRGP",
    "RGPYRGPYRGPYRGPYRGPYRGPY",
    "GPYRGPYRGPYRGPYRGPYRGPYR",
};

class RoundTest : public GameTest {
 protected:
  RingPuzzle& p = g.ring;

  void SetUp() override {
    makeroundpuzzle(g);
    g.maxSpiders = 20;
  }
  void frames(int n) {
    for (int i = 0; i < n; ++i) roundpuzzle(g);
  }
  void clickOn(int k, int j) {
    g.mouseX = p.at(k, j).x;
    g.mouseY = p.at(k, j).y;
    g.mouseButton = kLeft;
    roundpuzzle(g);
    g.mouseButton = kNoClick;
  }
  // Runs frames until nothing has moved or burst for two frames.
  void settle(int limit = 400) {
    for (int i = 0; i < limit; ++i) {
      roundpuzzle(g);
      if (!p.busy && !p.wasBusy && p.selectState == 0 && p.swapCheck == 0 && p.matchFlag == 0)
        return;
    }
    ADD_FAILURE() << "the puzzle did not settle";
  }
  std::string bursting() const {
    return ringMarks(p, 24, 3, [](const RoundSlot& t) { return t.vanish > 0; });
  }
  std::string cleared() const {
    return ringMarks(p, 24, 3, [](const RoundSlot& t) { return t.cleared == 1; });
  }
  int soundsPlayed(int sound) const {
    return static_cast<int>(
        std::count(h.sounds->log.begin(), h.sounds->log.end(), "play " + std::to_string(sound)));
  }
  int hatched(const std::string& colour) const {
    int n = 0;
    for (int i = 1; i <= kSpiderSlots; ++i)
      if (g.spiders[i].spiderLife > 0 && g.spiders[i].spiderColour == colour) ++n;
    return n;
  }
};

TEST_F(RoundTest, SetUpDealsThreeRingsWithNoRunAndTheFixedLayout) {
  for (uint64_t seed = 1; seed <= 20; ++seed) {
    g.rng = Random(seed);
    makeroundpuzzle(g);
    for (int j = 1; j <= 3; ++j) {
      for (int k = 1; k <= 24; ++k) {
        const int c = p.at(k, j).colour;
        ASSERT_TRUE(c >= 1 && c <= 4);
        EXPECT_FALSE(k <= 22 && c == p.at(k + 1, j).colour && c == p.at(k + 2, j).colour)
            << "seed " << seed << " ring " << j << " pos " << k;
        EXPECT_FALSE(j == 1 && c == p.at(k, 2).colour && c == p.at(k, 3).colour);
        EXPECT_EQ(p.at(k, j).cleared, 0);
      }
    }
  }
  EXPECT_EQ(g.tileGoal, 72);
  EXPECT_EQ(p.at(7, 1).x, 442);
  EXPECT_EQ(p.at(7, 1).y, 278);
  EXPECT_EQ(p.at(24, 3).x, 275);
  EXPECT_EQ(p.at(13, 2).angle, 130);
  EXPECT_EQ(p.at(4, 1).width, 38);
  EXPECT_EQ(p.at(4, 2).width, 33);
  EXPECT_EQ(p.at(4, 3).width, 25);
  EXPECT_EQ(p.at(25, 1).colour, 0);  // nothing past the last position
}

TEST_F(RoundTest, RunsBurstAcrossTheSeamAndAcrossAllThreeRings) {
  struct Case {
    const char* name;
    std::vector<std::string> rings;
  };
  const Case cases[] = {
      {"23, 24, 1", {"YRGPYRGPYRGPYRGPYRGPYRYY", kQuiet[1], kQuiet[2]}},
      {"24, 1, 2", {"YYGPYRGPYRGPYRGPYRGPYRGY", kQuiet[1], kQuiet[2]}},
      {"rings at 5", {"YRGPGRGPYRGPYRGPYRGPYRGP", "RGPYGGPYRGPYRGPYRGPYRGPY", kQuiet[2]}},
  };
  const std::string expected[] = {
      "*.....................**\n........................\n........................\n",
      "**.....................*\n........................\n........................\n",
      "....*...................\n....*...................\n....*...................\n",
  };
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(cases[i].name);
    makeroundpuzzle(g);
    paint(p, cases[i].rings);
    frames(1);
    EXPECT_EQ(bursting(), expected[i]);
  }
}

TEST_F(RoundTest, LongRunsAlongARingHatchFromTheirFirstTilesOnly) {
  paint(p, {
               "YRGPYRGPYRGPYRGPYRRRYYGP",  // three red at 18..20; yellow at 21, 22
               "RGPPPPPYRGPYRGPYRGPYRYPY",  // five purple at 3..7
               "GPYRGPYRGPYGGGGRGPYRGYYR",  // four green at 12..15
           });
  // Yellow across all three rings at 22 too.
  frames(1);
  EXPECT_EQ(bursting(),
            ".................***.*..\n"
            "..*****..............*..\n"
            "...........****......*..\n");
  frames(13);
  EXPECT_EQ(hatched("P"), 2);
  EXPECT_EQ(hatched("G"), 1);
  EXPECT_EQ(hatched("R"), 0);
  EXPECT_EQ(hatched("Y"), 0);
  EXPECT_EQ(g.score, 150);
  EXPECT_EQ(soundsPlayed(10), 15);
  EXPECT_EQ(cleared(),
            ".................***.*..\n"
            "..*****..............*..\n"
            "...........****......*..\n");
}

TEST_F(RoundTest, BonusTileBurstsItsNeighboursOnTheBoardOnly) {
  paint(p, kQuiet);
  p.at(23, 3).cleared = 1;  // converted before: scores again, counts once
  p.bonusTile = 72;         // position 24 of ring 3
  p.bonusTileTimer = 100;
  clickOn(24, 3);
  EXPECT_EQ(bursting(),
            "........................\n"
            "......................**\n"
            "......................**\n");
  EXPECT_EQ(g.score, 100);
  EXPECT_EQ(g.levelHint, "BONUS +100");
  EXPECT_EQ(g.quakeTimerB, 30);
  EXPECT_EQ(p.bonusTile, 0);
  EXPECT_EQ(p.selectState, 0);  // a bonus click selects nothing
  frames(14);
  EXPECT_EQ(g.score, 140);
  EXPECT_EQ(g.clearedCount, 4);
}

TEST_F(RoundTest, BonusBurstScoresAnEmptyNeighbourToo) {
  paint(p, kQuiet);
  p.at(24, 3).colour = kEmpty;  // scanned after the click, so it has not pulled a tile yet
  p.bonusTile = 24 + 23;        // position 23 of ring 2
  p.bonusTileTimer = 100;
  clickOn(23, 2);
  EXPECT_GT(p.at(24, 3).vanish, 0);
  frames(14);
  EXPECT_EQ(g.score, 100 + 7 * 10);
}

TEST_F(RoundTest, SwapThatMakesARunBurstsAndStays) {
  paint(p, {"YRYYGRGPYRGPYRGPYRGPYRGP", kQuiet[1], kQuiet[2]});
  clickOn(1, 1);
  EXPECT_EQ(p.selectState, 1);
  clickOn(2, 1);
  EXPECT_EQ(p.selectState, 10);
  settle();
  EXPECT_EQ(cleared(),
            ".***....................\n........................\n........................\n");
  EXPECT_EQ(g.score, 30);
  EXPECT_EQ(soundsPlayed(12), 0);
}

TEST_F(RoundTest, SwapThatMakesNoRunFliesBack) {
  paint(p, kQuiet);
  clickOn(1, 1);
  clickOn(1, 2);  // the same position on the next ring
  settle();
  EXPECT_EQ(ringColours(p, 24, 3), lines(kQuiet));
  EXPECT_EQ(soundsPlayed(12), 1);
  EXPECT_EQ(p.at(1, 1).x, 300);
  EXPECT_EQ(p.at(1, 2).y, 150);
  EXPECT_EQ(g.score, 0);
}

TEST_F(RoundTest, SwapsCrossTheSeamAndFarClicksReselect) {
  // 24 and 1 are neighbours: swapping them lines up three yellows at 22..24 of ring 1.
  paint(p, {"YRGPYRGPYRGPYRGPYRGPGYYR", kQuiet[1], kQuiet[2]});
  clickOn(24, 1);
  clickOn(3, 1);  // not a neighbour: selected instead
  EXPECT_EQ(p.selectState, 1);
  EXPECT_EQ(p.selectedPos, 3);
  clickOn(3, 1);  // the selected tile again: deselected
  settle();
  EXPECT_EQ(p.selectedPos, 0);
  clickOn(1, 1);
  clickOn(24, 1);
  settle();
  EXPECT_EQ(g.score, 30);
  EXPECT_EQ(soundsPlayed(12), 0);
}

TEST_F(RoundTest, CarriedLostStoneRecoloursATileOtherItemsStayCarried) {
  paint(p, kQuiet);
  g.heldImage = 21;
  g.heldName = "Freeze Rune";
  clickOn(1, 2);
  settle();
  EXPECT_EQ(p.at(1, 2).colour, kRed);
  EXPECT_EQ(g.heldImage, 21);
  g.heldImage = 16;  // Gold
  g.heldName = "Lost Stone";
  clickOn(1, 2);
  EXPECT_EQ(p.at(1, 2).colour, kYellow);
  EXPECT_EQ(g.heldImage, 0);
  EXPECT_EQ(g.heldName, "");
  settle();
  EXPECT_EQ(p.selectState, 0);
  EXPECT_EQ(p.selectedPos, 0);
}

TEST_F(RoundTest, TilesMoveInwardAndNewTilesEnterTheOuterRing) {
  paint(p, kQuiet);
  p.at(5, 3).colour = kEmpty;
  settle();
  EXPECT_EQ(p.at(5, 3).colour, ringColourOf(kQuiet[1][4]));
  EXPECT_EQ(p.at(5, 2).colour, ringColourOf(kQuiet[0][4]));
  const int fresh = p.at(5, 1).colour;
  EXPECT_TRUE(fresh >= 1 && fresh <= 4);
  EXPECT_EQ(p.at(5, 3).y, 222);
  EXPECT_EQ(p.at(5, 1).y, 202);
}

TEST_F(RoundTest, GoalHintAndVoiceComeOnceAndTheGoalEndsTheLevel) {
  paint(p, kQuiet);
  for (int k = 1; k <= 24; ++k) p.at(k, 1).cleared = p.at(k, 2).cleared = 1;  // 48
  frames(2);
  EXPECT_EQ(g.hintIndex, 8);
  EXPECT_EQ(soundsPlayed(18), 1);
  EXPECT_FALSE(g.levelComplete);
  g.hintIndex = 0;
  g.voiceCooldown = 0;
  frames(2);
  EXPECT_EQ(g.hintIndex, 0);
  EXPECT_EQ(soundsPlayed(18), 1);
  for (int k = 1; k <= 24; ++k) p.at(k, 3).cleared = 1;
  frames(2);
  EXPECT_TRUE(g.levelComplete);
  EXPECT_EQ(g.tallyDelay, 50);
}

TEST_F(RoundTest, LongChainReactionFeedsTheBonusCounter) {
  paint(p, kQuiet);
  for (int len : {105, 115}) {
    for (int i = 0; i < len; ++i) {
      p.matchFlag = 2;
      roundpuzzle(g);
    }
    frames(3);
    EXPECT_EQ(g.bonusTimer, len == 105 ? 10 : 12) << len;  // halves go to even
    EXPECT_EQ(p.cascadeFrames, 0);
  }
}

// The colour at (k, j), positions wrapping round; 0 off the rings.
int wrappedColour(const RingPuzzle& q, int k, int j) {
  return (j < 1 || j > 3) ? 0 : q.at((k + 47) % 24 + 1, j).colour;
}

// How good a board is for a player: 0 without a run, else 1 + the unconverted slots in its runs.
int runWorth(const RingPuzzle& q) {
  int worth = 0;
  auto add = [&](int k, int j) { worth += q.at((k + 47) % 24 + 1, j).cleared ? 0 : 1; };
  for (int j = 1; j <= 3; ++j) {
    for (int k = 1; k <= 24; ++k) {
      const int m = wrappedColour(q, k, j);
      if (m < 1 || m > 4) continue;
      if (m == wrappedColour(q, k + 1, j) && m == wrappedColour(q, k + 2, j)) {
        worth = std::max(worth, 1);
        for (int i = 0; i < 3; ++i) add(k + i, j);
      }
      if (j == 1 && m == wrappedColour(q, k, 2) && m == wrappedColour(q, k, 3)) {
        worth = std::max(worth, 1);
        for (int i = 1; i <= 3; ++i) add(k, i);
      }
    }
  }
  return worth;
}

// Finds the swap of neighbours that converts the most, as a player would.
bool findSwap(const RingPuzzle& p, int& k1, int& j1, int& k2, int& j2) {
  RingPuzzle q = p;
  int best = 0;
  for (int j = 1; j <= 3; ++j) {
    for (int k = 1; k <= 24; ++k) {
      for (const auto& [kk, jj] : {std::pair{k % 24 + 1, j}, std::pair{k, j + 1}}) {
        if (jj > 3) continue;
        std::swap(q.at(k, j).colour, q.at(kk, jj).colour);
        const int worth = runWorth(q);
        std::swap(q.at(k, j).colour, q.at(kk, jj).colour);
        if (worth > best) {
          best = worth;
          k1 = k, j1 = j, k2 = kk, j2 = jj;
        }
      }
    }
  }
  return best > 0;
}

TEST_F(RoundTest, ARoundLevelPlaysThroughTheFrameLoopToTheTally) {
  g.level = 3;
  g.levelType = 3;
  g.scaryOn = false;
  newlevel(g);
  ASSERT_TRUE(g.roundPuzzleOn);
  ASSERT_EQ(g.tileGoal, 72);
  g.menuOpen = false;
  g.introStage = 0;
  g.hintStep = 6;
  int k1 = 0, j1 = 0, k2 = 0, j2 = 0, pending = 0;
  for (int f = 0; f < 20000 && !g.levelComplete; ++f) {
    g.mouseButton = kNoClick;
    if (pending) {
      g.mouseX = p.at(k2, j2).x;
      g.mouseY = p.at(k2, j2).y;
      g.mouseButton = kLeft;
      pending = 0;
    } else if (!p.busy && !p.wasBusy && p.selectState == 0 && p.swapCheck == 0 &&
               findSwap(p, k1, j1, k2, j2)) {
      g.mouseX = p.at(k1, j1).x;
      g.mouseY = p.at(k1, j1).y;
      g.mouseButton = kLeft;
      pending = 1;
    }
    playFrame(g);
  }
  EXPECT_TRUE(g.levelComplete);
  EXPECT_GE(g.score, 720);
  EXPECT_FALSE(g.allSpidersDead);
}

}  // namespace
}  // namespace mv::test
