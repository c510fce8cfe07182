// SPDX-License-Identifier: GPL-3.0-or-later
// Level intros, the scare clip, the burst effects, the ghost flight and the smoke.
#include "core/intro.h"

#include <algorithm>

#include "board/smoke.h"
#include "game_fixture.h"
#include "items/inventory.h"

namespace mv::test {
namespace {

class IntroTest : public GameTest {
 protected:
  void start(int level, int stage, int timer) {
    g.level = level;
    g.introStage = stage;
    g.introTimer = timer;
    g.animTick = g.animFrame = 0;
    g.soundLatch = false;
  }
  int count(const std::string& entry) const {
    return static_cast<int>(std::count(h.sounds->log.begin(), h.sounds->log.end(), entry));
  }
};

TEST_F(IntroTest, LevelOneIntroRunsItsTimeSilentlyWithSoundOffOrEndsOnAClick) {
  g.soundOn = false;
  start(1, 1, 500);
  for (int i = 0; i < 499; ++i) intro(g);
  EXPECT_EQ(g.introStage, 1);
  intro(g);
  EXPECT_EQ(g.introStage, 0);
  EXPECT_TRUE(h.sounds->log.empty() ||
              std::all_of(h.sounds->log.begin(), h.sounds->log.end(),
                          [](const std::string& e) { return e.rfind("stop", 0) == 0; }))
      << "no voice and no creek loop";

  g.soundOn = true;
  start(1, 1, 500);
  intro(g);
  intro(g);
  EXPECT_EQ(count("play 1"), 1) << "the opening voice plays once";
  EXPECT_EQ(count("loop 0"), 1);
  g.mouseButton = kLeft;
  intro(g);
  EXPECT_EQ(g.introStage, 0);
  EXPECT_EQ(g.mouseButton, kNoClick) << "the skipping click is spent";
  EXPECT_GE(count("stop 1"), 1);
}

TEST_F(IntroTest, AnimationRunsUpAndDownHoldingTheEndsForTwoSteps) {
  start(1, 1, 1000);
  g.soundOn = false;
  std::vector<int> steps;
  intro(g);  // the tick counts from 0 to 1; no step yet
  for (int i = 0; i < 3 * 22; ++i) {
    intro(g);
    if (g.animTick == 1) steps.push_back(g.animFrame);  // a step was taken
  }
  EXPECT_EQ(steps,
            (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 1, 2}));
}

TEST_F(IntroTest, LevelTwoGivesTheCharmOnceAndWaitsForAClick) {
  start(2, 2, 3);
  for (int i = 0; i < 50; ++i) intro(g);
  EXPECT_EQ(g.introStage, 2) << "the timer does not end the level-2 intro";
  EXPECT_TRUE(g.charmGiven);
  EXPECT_EQ(checkinventory(g, "Spider Charm"), 1) << "stored in the inventory";
  EXPECT_EQ(g.heldImage, 0);
  EXPECT_EQ(count("play 15"), 1);
  intro(g);
  EXPECT_EQ(checkinventory(g, "Spider Charm"), 1) << "given only once";
  g.mouseButton = kLeft;
  intro(g);
  EXPECT_EQ(g.introStage, 0);
}

TEST_F(IntroTest, ScareClipEndsOnceItsAnimationPassesTheSecondFrame) {
  start(5, 200, 500);
  int frames = 0;
  while (g.introStage == 200 && frames < 100) {
    intro(g);
    ++frames;
  }
  EXPECT_EQ(frames, 11);
  EXPECT_EQ(count("play 8"), 1);
}

TEST_F(IntroTest, TwoBurstsShakeWithTheLastOneAndStopShakingWhenDone) {
  g.quakeTimerA = 30;
  g.quakeTimerB = 2;
  bursts(g);
  EXPECT_EQ(count("play 22"), 1) << "only A is on its first frame";
  EXPECT_EQ(g.quakeTimerA, 29);
  bursts(g);
  EXPECT_EQ(g.quakeTimerB, 0);
  EXPECT_EQ(g.shakeX, 0) << "B ended last and settled the screen";
  EXPECT_EQ(g.shakeY, 0);
  for (int i = 0; i < 28; ++i) bursts(g);
  EXPECT_EQ(g.quakeTimerA, 0);
  EXPECT_EQ(g.shakeX + g.shakeY, 0);
}

TEST_F(IntroTest, GhostFlightHoldsTheVoicesForItsThirtyFrames) {
  g.ghostTimer = 30;
  g.level = 2;  // too early to start another
  for (int i = 0; i < 30; ++i) ghostflight(g);
  EXPECT_EQ(g.ghostTimer, 0);
  EXPECT_EQ(g.voiceCooldown, 200);
  EXPECT_EQ(count("play 16"), 1);
  g.level = 9;
  g.ghostCount = 10;  // scary things off
  g.voiceCooldown = 0;
  g.liveSpiders = 20;
  for (int i = 0; i < 5000; ++i) ghostflight(g);
  EXPECT_EQ(g.ghostTimer, 0);
}

TEST_F(IntroTest, SmokePuffLivesItsLifeAndAFullPoolTakesNoMore) {
  g.menuOpen = false;
  makesmoke(g, 450, 465);
  const SmokePuff first = g.smokePuffs[0];
  EXPECT_GE(first.life, 200);
  EXPECT_LE(first.life, 299);
  EXPECT_GE(first.x, 450);
  EXPECT_LE(first.x, 464);
  int peak = 0;
  for (int i = 0; i < 300; ++i) {
    smoke(g);
    peak = std::max(peak, g.smokePuffs[0].opacity);
  }
  EXPECT_EQ(g.smokePuffs[0].life, 0);
  EXPECT_EQ(peak, 129) << "fades in from 30 over its first 99 frames";
  EXPECT_LT(g.smokePuffs[0].y, 465) << "it rose";

  for (auto& p : g.smokePuffs) p.life = 5;
  makesmoke(g, 0, 0);
  EXPECT_TRUE(std::all_of(g.smokePuffs.begin(), g.smokePuffs.end(),
                          [](const SmokePuff& p) { return p.life == 5; }));
}

}  // namespace
}  // namespace mv::test
