// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/hud.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/tally.h"
#include "game_fixture.h"

namespace mv {
namespace {

using test::GameTest;

int beeps(const test::Headless& h) {
  return static_cast<int>(std::count(h.sounds->log.begin(), h.sounds->log.end(), "beep"));
}

// Non-black pixels in a screen rectangle.
int lit(const Screen& s, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += s.pixel(x, y) != 0;
  return n;
}

class Tally : public GameTest {
 protected:
  void SetUp() override {
    g.levelComplete = true;
    g.tallyDelay = 50;
    g.score = 5000;
  }
  void frame() {
    g.screen.fillScreen(0);
    tally(g);
  }
};

TEST_F(Tally, CountsTheClockAfterTheDelayAndIgnoresClicksUntilDone) {
  g.timeLeft = 120;
  int frames = 0;
  while (g.level == 1 && frames < 1000) {
    g.mouseButton = kLeft;
    frame();
    ++frames;
    if (g.level == 1) {
      EXPECT_EQ(g.levelBonus, 10 * (120 - g.timeLeft));
      EXPECT_GT(g.timeLeft, 0) << "a click with the clock counted off goes on";
      EXPECT_EQ(g.mouseButton, kLeft) << "a click while counting is left alone";
    }
  }
  // The 50th frame ends the delay and counts the first second; the click in the frame that
  // counts the last second goes on.
  EXPECT_EQ(frames, 49 + 120);
  EXPECT_EQ(g.score, 5000 + 1200);
  EXPECT_EQ(beeps(h), 120);
  EXPECT_EQ(g.level, 2);
  EXPECT_EQ(g.timeLeft, 500) << "the next level has started";
  EXPECT_EQ(g.levelBonus, 1200) << "the bonus row adds up over the run, like the score";
  EXPECT_FALSE(g.levelComplete);
  EXPECT_EQ(g.mouseButton, kNoClick);
}

TEST_F(Tally, WithNoTimeLeftTheFirstClickGoesOn) {
  g.timeLeft = 0;
  g.mouseButton = kLeft;
  frame();
  EXPECT_EQ(g.level, 2);
  EXPECT_EQ(g.score, 5000);
  EXPECT_EQ(g.levelBonus, 0);
  EXPECT_EQ(beeps(h), 0);
}

TEST_F(Tally, RightClickDoesNotGoOn) {
  g.timeLeft = 0;
  g.mouseButton = kRight;
  frame();
  EXPECT_TRUE(g.levelComplete);
  EXPECT_EQ(g.level, 1);
}

TEST_F(Tally, LevelCycleWrapsKindAndBackgroundAndStartsTheEarlyIntros) {
  struct Step {
    int level, type, background;
    int wantType, wantBackground, wantIntro;
  };
  for (Step s : {Step{1, 1, 1, 2, 2, 2}, Step{2, 2, 2, 3, 3, 3}, Step{5, 5, 4, 6, 5, 0},
                 Step{6, 6, 5, 1, 1, 0}, Step{12, 6, 2, 1, 3, 0}}) {
    g.level = s.level;
    g.levelType = s.type;
    g.backgroundIndex = s.background;
    g.introStage = 0;
    g.introTimer = 0;
    nextlevel(g);
    EXPECT_EQ(g.level, s.level + 1);
    EXPECT_EQ(g.levelType, s.wantType) << "from level " << s.level;
    EXPECT_EQ(g.backgroundIndex, s.wantBackground) << "from level " << s.level;
    if (s.wantIntro) {
      EXPECT_EQ(g.introStage, s.wantIntro) << "from level " << s.level;
      EXPECT_EQ(g.introTimer, 700);
    } else {
      EXPECT_NE(g.introStage, 2);
      EXPECT_NE(g.introStage, 3);
    }
  }
}

TEST_F(Tally, GoalLineBlinksOnlyWithASpiderOfTheGoalColour) {
  g.cat.readManifest(MORVANE_ASSETS_DIR);
  g.cat.loadImages([](ImageList l) { return l == ImageList::fontlist1; });
  g.timeLeft = 0;
  g.goalColour = kGreen;
  g.liveSpiders = 4;
  g.colourCount[kRed] = 4;
  for (int f = 0; f < 30; ++f) {
    frame();
    EXPECT_EQ(lit(g.screen, 90, 375, 800, 420), 0) << "frame " << f;
  }
  g.colourCount[kGreen] = 1;
  int shown = 0;
  for (int f = 0; f < 42; ++f) {
    frame();
    shown += lit(g.screen, 90, 375, 800, 420) > 0;
  }
  EXPECT_EQ(shown, 20) << "ten frames on, eleven off";
}

using Bonus = GameTest;

TEST_F(Bonus, CounterStartedAtNPaysExactlyN) {
  g.soundOn = false;
  for (int n : {1, 37, 400}) {
    g.score = 100;
    g.bonusTimer = n;
    int frames = 0;
    while (g.bonusTimer > 0) bonuscounter(g), ++frames;
    bonuscounter(g);  // a stopped counter does nothing
    EXPECT_EQ(frames, n);
    EXPECT_EQ(g.score, 100 + n);
  }
}

TEST_F(Bonus, PraiseVoicesTakeTurnsAndWaitForTheCooldown) {
  g.soundOn = false;  // the praise plays all the same
  std::vector<std::string> voices;
  for (int f = 0; f < 200000 && voices.size() < 4; ++f) {
    g.bonusTimer = 1;
    if (g.voiceCooldown > 0) g.voiceCooldown -= 1;
    const size_t before = h.sounds->log.size();
    bonuscounter(g);
    if (h.sounds->log.size() > before) {
      voices.push_back(h.sounds->log.back());
      EXPECT_EQ(g.voiceCooldown, 1000);
    }
  }
  EXPECT_EQ(voices, (std::vector<std::string>{"play 2", "play 13", "play 14", "play 2"}));
}

using Celebration = GameTest;

TEST_F(Celebration, LastsFiveHundredFramesAndPaysThreePerFrameLeft) {
  g.score = 1000;
  g.megaBonusTimer = 500;
  int frames = 0;
  while (g.megaBonusTimer > 0) celebration(g), ++frames;
  celebration(g);
  EXPECT_EQ(frames, 500);
  EXPECT_EQ(g.score, 1000 + 374250);
  EXPECT_EQ(beeps(h), 500);
}

}  // namespace
}  // namespace mv
