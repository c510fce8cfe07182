// SPDX-License-Identifier: GPL-3.0-or-later
#include "board/spiders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "board/effects.h"
#include "core/frame.h"
#include "core/level.h"
#include "game_fixture.h"

namespace mv {
namespace {

using test::GameTest;
using test::Headless;

int liveSlots(const Game& g) {
  int n = 0;
  for (int i = 0; i <= kSpiderSlots; ++i) n += g.spiders[i].spiderLife > 0;
  return n;
}

using Spawn = GameTest;

TEST_F(Spawn, HatchlingTakesTheFirstEmptySlotAndKeepsItsMotion) {
  g.spiders[1].spiderLife = 300;
  g.spiders[2].spiderDirection = 4;
  g.spiders[2].spiderSpeed = 1.5;
  g.spiders[2].spiderMarked = 2;
  spawnspider(g, 100, 200, kGreen, 1);
  const Spider& s = g.spiders[2];
  EXPECT_EQ(s.spiderLife, 100);
  EXPECT_EQ(s.spiderX, 110);
  EXPECT_EQ(s.spiderY, 215);
  EXPECT_EQ(s.spiderSize, 20);
  EXPECT_GE(s.spiderGrowTo, 35);
  EXPECT_LE(s.spiderGrowTo, 49);
  EXPECT_EQ(s.spiderColour, "G");
  EXPECT_EQ(s.spiderSymbol, kGreen);
  EXPECT_EQ(s.spiderDirection, 4);
  EXPECT_EQ(s.spiderSpeed, 1.5);
  EXPECT_EQ(s.spiderMarked, 2) << "a mark stays with the slot";
  EXPECT_EQ(liveSlots(g), 2);
  EXPECT_EQ(g.spiders[0].spiderLife, 0);
}

TEST_F(Spawn, FillsOnlySlotsUpToMaxSpidersAndDropsTheRest) {
  g.maxSpiders = 8;  // a two-board level
  spawnspider(g, 50, 50, kRed, 20);
  EXPECT_EQ(liveSlots(g), 8);
  for (int i = 1; i <= 8; ++i) EXPECT_GT(g.spiders[i].spiderLife, 0) << i;
  spawnspider(g, 50, 50, kRed, 1);
  EXPECT_EQ(liveSlots(g), 8) << "a hatching with every slot taken is dropped";

  g.maxSpiders = 20;
  spawnspider(g, 50, 50, kYellow, 3);
  EXPECT_EQ(liveSlots(g), 11);
  EXPECT_EQ(g.spiders[11].spiderLife, 100);
  EXPECT_EQ(g.spiders[12].spiderLife, 0);
}

// The spider steps of one play frame: the counts start from zero and every slot in use updates.
void spiderFrame(Game& g) {
  g.liveSpiders = 0;
  g.colourCount = {};
  g.bloodRequestX = g.bloodRequestY = 0;
  for (int i = 1; i <= g.spiderSlots; ++i) updatespider(g, i);
}

class Update : public GameTest {
 protected:
  void SetUp() override {
    g.boardRight = g.boardBottom = 338;  // a 10 x 10 board
    g.spiderDeathPenalty = 150;
  }
  // A grown spider standing still at (x, y).
  Spider& place(int i, double x, double y, int colour = kRed) {
    Spider& s = g.spiders[i];
    s.spiderLife = 300;
    s.spiderX = x;
    s.spiderY = y;
    s.spiderSize = s.spiderGrowTo = 40;
    s.spiderColour = colourLetter(colour);
    s.spiderSymbol = colour;
    return s;
  }
  int live() const { return liveSlots(g); }
};

TEST_F(Update, HatchlingStandsStillUntilItIsGrownTo25) {
  spawnspider(g, 500, 450, kYellow, 1);
  Spider& s = g.spiders[1];
  s.spiderDirection = 6;
  s.spiderSpeed = 2;
  for (int f = 1; f <= 17; ++f) {
    EXPECT_LT(s.spiderSize, 25) << "frame " << f;
    spiderFrame(g);
    EXPECT_EQ(s.spiderX, 510) << "frame " << f;
    EXPECT_EQ(s.spiderY, 465) << "frame " << f;
  }
  EXPECT_GE(s.spiderSize, 25);
  int f = 0;
  while (s.spiderX == 510 && s.spiderY == 465 && f < 1000) spiderFrame(g), ++f;
  EXPECT_LT(f, 1000) << "a grown hatchling wanders off";
  EXPECT_LE(s.spiderSize, s.spiderGrowTo + 0.1);
}

TEST_F(Update, MarkedSpiderWalksOffTheBoardAndDiesOutside) {
  struct Case {
    double x, y;
    bool leavesDownwards;
  };
  for (Case c : {Case{100, 300, true}, Case{100, 60, false}}) {
    Headless fresh;
    Game& h = fresh.game;
    h.boardRight = h.boardBottom = 338;
    h.spiderDeathPenalty = 150;
    h.score = 1000;
    Spider& s = h.spiders[1];
    s.spiderLife = 300;
    s.spiderX = c.x;
    s.spiderY = c.y;
    s.spiderSize = s.spiderGrowTo = 40;
    s.spiderColour = "R";
    s.spiderSymbol = kRed;
    s.spiderSpeed = 1;
    h.scareArmed = true;
    spiderFrame(h);
    ASSERT_EQ(s.spiderMarked, 1);
    int frames = 0;
    while (s.spiderLife > 0 && frames < 5000) {
      const double x = s.spiderX, y = s.spiderY;
      spiderFrame(h);
      ++frames;
      if (s.spiderLife == 0) {
        EXPECT_FALSE(y < 338 && x < 338) << "died at " << x << "," << y << " inside the board";
        EXPECT_EQ(h.levelHint, "-150");
        EXPECT_EQ(h.levelHintX, std::lround(x));
        EXPECT_EQ(h.bloodRequestX, std::lround(x));
        EXPECT_EQ(h.bloodRequestY, std::lround(y));
        if (c.leavesDownwards)
          EXPECT_GE(y, 338);
        else
          EXPECT_GE(x, 338);
      }
    }
    EXPECT_EQ(s.spiderLife, 0);
    EXPECT_EQ(s.spiderMarked, 0);
    EXPECT_EQ(h.score, 850);
    EXPECT_EQ(h.spidersKilled, 1);
    EXPECT_EQ(h.liveSpiders, 0) << "the dead spider is not counted in its death frame";
    EXPECT_EQ(fresh.sounds->log.back(), "play 5");
  }
}

TEST_F(Update, EachArmingCostsOneSpider) {
  for (int i = 1; i <= 5; ++i) place(i, 400 + 30 * i, 500);
  // Two armings within one frame mark one spider.
  g.scareArmed = true;
  g.scareArmed = true;
  for (int f = 0; f < 5; ++f) spiderFrame(g);
  EXPECT_EQ(live(), 4);
  EXPECT_EQ(g.spidersKilled, 1);

  // Armings in two frames kill one each.
  g.scareArmed = true;
  spiderFrame(g);
  g.scareArmed = true;
  for (int f = 0; f < 5; ++f) spiderFrame(g);
  EXPECT_EQ(live(), 2);
  EXPECT_EQ(g.liveSpiders, 2);

  // Also when the first victim is still on its way off the board.
  place(1, 100, 300).spiderSpeed = 0.5;
  g.scareArmed = true;
  spiderFrame(g);
  EXPECT_EQ(g.spiders[1].spiderMarked, 1);
  g.scareArmed = true;
  spiderFrame(g);
  EXPECT_NE(g.spiders[1].spiderLife, 0) << "still on the board";
  for (int f = 0; f < 5000 && g.spiders[1].spiderLife > 0; ++f) spiderFrame(g);
  EXPECT_EQ(live(), 1);
  EXPECT_EQ(g.spidersKilled, 5);
}

TEST_F(Update, ArmingAdvancesTheFirstPlayHintsAndMayStartTheScareClip) {
  for (int i = 1; i <= 3; ++i) place(i, 500, 500);
  g.hintStep = 2;
  g.voiceCooldown = 5;  // no scare clip while a voice is due
  g.scareArmed = true;
  spiderFrame(g);
  EXPECT_EQ(g.hintStep, 3);
  EXPECT_EQ(g.hintIndex, 3);
  g.scareArmed = true;
  spiderFrame(g);
  EXPECT_EQ(g.hintStep, 4);
  EXPECT_EQ(g.hintIndex, 4);
  EXPECT_EQ(g.introStage, 0);
  EXPECT_EQ(g.scareCount, 0);

  // With the voice free, about one arming in ten starts the clip, at most twice a level.
  g.voiceCooldown = 0;
  int clips = 0;
  for (int n = 0; n < 200; ++n) {
    place(1, 500, 500);
    g.scareArmed = true;
    g.mouseButton = kLeft;
    g.introStage = 0;
    spiderFrame(g);
    if (g.introStage == 200) {
      ++clips;
      EXPECT_EQ(g.introTimer, 500);
      EXPECT_TRUE(g.scatterRequest);
      EXPECT_EQ(g.mouseButton, kNoClick) << "the clip takes the click";
    }
  }
  EXPECT_EQ(clips, 2);
  EXPECT_EQ(g.scareCount, 2);
  EXPECT_EQ(g.hintStep, 4) << "the sequence stops at 4";
}

TEST_F(Update, GrowRuneGrowsAnUngrownSpiderOnlyOnce) {
  Spider& s = place(1, 500, 500, kGreen);
  s.spiderSize = 40;  // r = 15: the cursor must be strictly within 15 pixels
  g.heldName = "Grow Rune";
  g.heldImage = 9;
  g.heldValue = 30;
  g.mouseX = 515;
  g.mouseY = 500;
  g.mouseButton = kLeft;
  spiderFrame(g);
  EXPECT_EQ(s.spiderSymbol, kGreen) << "the edge of the square does not count";
  g.mouseX = 514;
  spiderFrame(g);
  EXPECT_EQ(s.spiderSymbol, kGreen + 4);
  EXPECT_EQ(s.spiderGrowTo, 70);
  EXPECT_TRUE(g.heldName.empty());
  EXPECT_EQ(g.heldImage, 0);

  g.heldName = "Grow Rune";
  g.heldImage = 9;
  g.heldValue = 30;
  g.mouseY = std::lround(s.spiderY);
  g.mouseX = std::lround(s.spiderX);
  spiderFrame(g);
  EXPECT_EQ(s.spiderSymbol, kGreen + 4);
  EXPECT_EQ(g.heldName, "Grow Rune") << "a grown spider leaves the rune on the cursor";
  EXPECT_EQ(h.sounds->log.back(), "beep");

  // An empty hand that still bears the name (as a save file may have it) grows nothing.
  Spider& t = place(2, 300, 300, kRed);
  g.heldImage = 0;
  g.mouseX = g.mouseY = 300;
  spiderFrame(g);
  EXPECT_EQ(t.spiderSymbol, kRed);
  EXPECT_EQ(t.spiderGrowTo, 40);
}

TEST_F(Update, EdgesTurnSpidersBackAndPosesRunToTenAndBack) {
  Spider& s = place(1, 10, 590);
  s.spiderSpeed = 2;
  spiderFrame(g);
  EXPECT_EQ(s.spiderDirection, 7) << "the last edge tested wins";
  int lo = 99, hi = -1;
  for (int f = 0; f < 60; ++f) {
    spiderFrame(g);
    lo = std::min(lo, s.spiderFrame);
    hi = std::max(hi, s.spiderFrame);
  }
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 10);
}

using Effects = Update;

TEST_F(Effects, DeathRequestsGoToTheFirstFadedSplatAndAFreeTextSlot) {
  g.blood[1].bloodAlpha = 200;  // still showing
  g.blood[2].bloodAlpha = 49;   // faded enough to reuse
  g.floatTexts[1].floatTextLife = 30;
  Spider& s = place(4, 600, 450);
  s.spiderMarked = 4;
  spiderFrame(g);
  ASSERT_EQ(s.spiderLife, 0);
  drawblood(g);
  drawfloattexts(g);
  EXPECT_EQ(g.bloodRequestX, 0);
  const BloodSplat& b = g.blood[2];
  EXPECT_EQ(b.bloodX, 600);
  EXPECT_EQ(b.bloodY, 450);
  EXPECT_EQ(b.bloodAlpha, 254.5) << "starts at 255 and fades in the same frame";
  EXPECT_GE(b.bloodGrowTo, b.bloodSize + 5 - 2);
  const FloatText& t = g.floatTexts[2];
  EXPECT_EQ(t.floatText, "-150");
  EXPECT_EQ(t.floatTextX, 598);
  EXPECT_EQ(t.floatTextY, 449);
  EXPECT_EQ(t.floatTextLife, 99);
  EXPECT_TRUE(g.levelHint.empty());

  // The splat grows by 2 a frame up to its size and fades by 0.5 a frame to nothing.
  const double growTo = b.bloodGrowTo;
  for (int f = 0; f < 600; ++f) drawblood(g), drawfloattexts(g);
  EXPECT_GE(b.bloodSize, growTo);
  EXPECT_LT(b.bloodSize, growTo + 2);
  EXPECT_LE(b.bloodAlpha, 0);
  EXPECT_EQ(t.floatTextLife, 0);
  EXPECT_EQ(t.floatTextX, 400) << "a hundred frames of drift";
}

TEST_F(Effects, RequestWaitsWhileEverySplatIsStillShowing) {
  for (int i = 1; i <= kBloodSlots; ++i) g.blood[i].bloodAlpha = 50.5 + i;
  g.bloodRequestX = 300;
  g.bloodRequestY = 310;
  // Slot 1 starts at 51.5 and is seen at 51.5, 51, 50.5 and 50 before it drops below 50.
  for (int f = 0; f < 4; ++f) drawblood(g);
  EXPECT_EQ(g.bloodRequestX, 300);
  drawblood(g);
  EXPECT_EQ(g.bloodRequestX, 0);
  EXPECT_EQ(g.blood[1].bloodX, 300);
}

// Whole play frames on levels started by newlevel.
class SpiderLevel : public GameTest {
 protected:
  void start(int level, int type) {
    g.level = level;
    g.levelType = type;
    g.menuOpen = false;
    g.hintStep = 5;  // first-play hints already seen
    newlevel(g);
    g.introStage = 0;
  }
};

TEST_F(SpiderLevel, TwoBoardLevelKeepsTenSlotsWhileOneBoardLevelsGrowToTwenty) {
  start(2, 2);
  ASSERT_EQ(g.maxSpiders, 8);
  for (int f = 0; f < 1500; ++f) playFrame(g);
  EXPECT_EQ(g.spiderSlots, 10);
  EXPECT_EQ(g.liveSpiders, 8);

  start(1, 1);
  for (int f = 0; f < 1500 && g.spiderSlots < 20; ++f) playFrame(g);
  EXPECT_EQ(g.spiderSlots, 20);
}

TEST_F(SpiderLevel, ShootingPuzzlesThirdStartSpiderLivesOn) {
  start(5, 5);
  ASSERT_EQ(g.maxSpiders, 2);
  for (int f = 0; f < 300; ++f) playFrame(g);
  EXPECT_EQ(g.liveSpiders, 3);
  spawnspider(g, 600, 500, kPurple, 1);
  playFrame(g);
  EXPECT_EQ(g.liveSpiders, 3) << "no slot up to maxSpiders is free for a hatchling";
}

TEST_F(SpiderLevel, MarkPassesToTheSlotsSpiderAtTheNextLevelStart) {
  start(4, 1);
  g.boardRight = g.boardBottom = 600;  // keep the marked spider on the board
  g.scareArmed = true;
  playFrame(g);
  int marked = 0;
  for (int i = 1; i <= kSpiderSlots; ++i)
    if (g.spiders[i].spiderMarked) marked = i;
  ASSERT_GT(marked, 0);
  ASSERT_GT(g.spiders[marked].spiderLife, 0) << "still walking off the board";

  start(5, 2);
  ASSERT_GT(g.spiders[marked].spiderLife, 0);
  playFrame(g);
  EXPECT_EQ(g.spiders[marked].spiderLife, 0) << "the start point lies off the board";
  EXPECT_EQ(g.spidersKilled, 1);
  EXPECT_EQ(g.liveSpiders, 7);
}
}  // namespace
}  // namespace mv
