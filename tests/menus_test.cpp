// SPDX-License-Identifier: GPL-3.0-or-later
// The screens around play: main menu, options, instructions, hint panels and the book.
#include "core/menus.h"

#include "core/book.h"
#include "core/frame.h"
#include "core/hints.h"
#include "game_fixture.h"

namespace mv::test {
namespace {

class MenusTest : public GameTest {
 protected:
  void press(int x, int y, int code = kLeft) {
    g.mouseX = x;
    g.mouseY = y;
    g.mouseButton = code;
  }
};

TEST_F(MenusTest, ContinueStartsTheIntroOfAFreshLevel) {
  const std::pair<int, int> levelToStage[] = {{1, 1}, {2, 2}, {3, 3}, {4, 300}, {12, 300}};
  for (auto [level, stage] : levelToStage) {
    g.menuOpen = true;
    g.level = level;
    g.timeLeft = 500;
    g.introStage = 0;
    press(400, 320);
    mainmenu(g);
    EXPECT_FALSE(g.menuOpen);
    EXPECT_EQ(g.mouseButton, kNoClick);
    EXPECT_EQ(g.introStage, stage) << "level " << level;
    EXPECT_EQ(g.introTimer, 500);
  }
  // A level whose clock has run goes straight back to play.
  g.menuOpen = true;
  g.introStage = 0;
  g.timeLeft = 431;
  press(400, 320);
  mainmenu(g);
  EXPECT_FALSE(g.menuOpen);
  EXPECT_EQ(g.introStage, 0);
}

TEST_F(MenusTest, SmokeFromTheLevelMapAgesUnderTheMenu) {
  g.smokePuffs[0].life = 40;
  mainmenu(g);
  EXPECT_LT(g.smokePuffs[0].life, 40);
}

TEST_F(MenusTest, MenuEntriesOpenTheirScreens) {
  press(400, 360);
  mainmenu(g);
  EXPECT_TRUE(g.playerSelectOpen);
  EXPECT_EQ(g.mouseButton, kNoClick);

  g.menuOpen = true;
  press(400, 420);
  mainmenu(g);
  EXPECT_TRUE(g.instructionsOpen);
  EXPECT_FALSE(g.menuOpen);

  // The row between the entries and the margins beside them do nothing.
  g.menuOpen = true;
  press(400, 390);
  mainmenu(g);
  press(250, 320);
  mainmenu(g);
  EXPECT_TRUE(g.menuOpen);
  EXPECT_EQ(g.mouseButton, kLeft);
}

TEST_F(MenusTest, TheOptionsEntryPassesItsPressOnToTheOptionsPage) {
  g.instructionsOpen = false;
  g.playerName = "ANNA";
  press(300, 460);
  g.screen.setCanDraw(true);
  DXTimerTimer(g);
  EXPECT_FALSE(g.menuOpen);
  EXPECT_TRUE(g.optionsOpen);
  // The page is drawn under the same press, which its switch column does not reach here.
  EXPECT_EQ(g.mouseButton, kLeft);
  EXPECT_TRUE(g.soundOn && g.scaryOn && g.detailsOn && g.difficultyOn);
}

TEST_F(MenusTest, AnOptionRowTogglesOncePerPress) {
  g.optionsOpen = true;
  press(500, 290);  // the scary stuff row
  options(g);
  options(g);  // the button is still held
  EXPECT_FALSE(g.scaryOn);
  EXPECT_TRUE(g.soundOn && g.detailsOn && g.difficultyOn);

  press(500, 245);
  options(g);
  press(500, 335);
  options(g);
  press(500, 375);
  options(g);
  EXPECT_FALSE(g.soundOn || g.detailsOn || g.difficultyOn);

  // Anywhere in the column every click is taken, toggle or not.
  press(500, 265, kRight);
  options(g);
  EXPECT_EQ(g.mouseButton, kNoClick);
  press(500, 375, kRight);
  options(g);
  EXPECT_FALSE(g.difficultyOn);
}

TEST_F(MenusTest, BackLeavesTheOptionsForTheMenu) {
  g.menuOpen = false;
  g.optionsOpen = true;
  press(180, 440);
  options(g);
  EXPECT_FALSE(g.optionsOpen);
  EXPECT_TRUE(g.menuOpen);
}

TEST_F(MenusTest, AnyPressLeavesTheInstructionsForTheMenu) {
  g.menuOpen = false;
  g.instructionsOpen = true;
  press(10, 10);
  instructions(g);
  EXPECT_FALSE(g.instructionsOpen);
  EXPECT_TRUE(g.menuOpen);
  EXPECT_EQ(g.mouseButton, kNoClick);
}

TEST_F(MenusTest, AHintPanelIgnoresClicksUntilFadedInThenClosesWithoutTakingTheClick) {
  g.hintIndex = 2;
  g.hintFade = 0;
  for (int i = 0; i < 25; ++i) {
    press(10, 10);
    showhelp(g);
    ASSERT_EQ(g.hintIndex, 2) << "frame " << i;
  }
  EXPECT_EQ(g.hintX, 300);
  EXPECT_EQ(g.hintY, 250);
  press(10, 10, kRight);
  showhelp(g);  // the 26th frame fades it in fully
  EXPECT_EQ(g.hintIndex, 0);
  EXPECT_EQ(g.mouseButton, kRight);
}

TEST_F(MenusTest, TheFirstHintPointsAtTheThirdSpider) {
  g.spiders[3].spiderX = 400.5;
  g.spiders[3].spiderY = 301.5;
  g.hintIndex = 1;
  showhelp(g);
  EXPECT_EQ(g.hintX, 180);  // 180.5 rounds to even
  EXPECT_EQ(g.hintY, 162);  // 161.5 rounds to even
  g.hintIndex = 8;          // keeps the last position
  showhelp(g);
  EXPECT_EQ(g.hintX, 180);
}

TEST_F(MenusTest, TheBookClosesOnAPressThatGoesOnToPlay) {
  g.bookPage = 1;
  g.soundLatch = false;
  book(g);
  book(g);
  EXPECT_EQ(h.sounds->log, std::vector<std::string>{"play 4"});
  press(300, 300);
  book(g);
  EXPECT_EQ(g.bookPage, 0);
  EXPECT_EQ(g.mouseButton, kLeft);
}

}  // namespace
}  // namespace mv::test
