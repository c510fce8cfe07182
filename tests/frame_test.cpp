// SPDX-License-Identifier: GPL-3.0-or-later
// The frame loop: its order and click consumption, and the play frame's own steps.
#include "core/frame.h"

#include <algorithm>

#include "core/startup.h"
#include "game_fixture.h"

namespace mv::test {
namespace {

class FrameTest : public GameTest {
 protected:
  void SetUp() override {
    g.playerName = "ANNA";
    FormCreate(g, 99);
    g.menuOpen = false;
    g.hintStep = 5;  // past the first-play hints
    g.timeLeft = 300;
  }
  void press(int x, int y, int code = kLeft) {
    g.mouseX = x;
    g.mouseY = y;
    g.mouseButton = code;
  }
  void putItem(int slot, int kind, const std::string& name, int x, int y) {
    BoardItem& it = g.boardItems[slot];
    it.kind = kind;
    it.name = name;
    it.text = "Flawless";
    it.value = 150;
    it.x = x;
    it.y = y;
    it.glow = true;
  }
  bool played(int sound) const {
    const auto& log = h.sounds->log;
    return std::find(log.begin(), log.end(), "play " + std::to_string(sound)) != log.end();
  }
};

TEST_F(FrameTest, AFrameWithoutADisplayDoesNothingAtAll) {
  int flips = 0;
  h.screen.setPresenter([&](const Screen&) { ++flips; });
  h.screen.fillScreen(0xFFFFFF);
  h.screen.setCanDraw(false);
  const int dice = g.frameDice, cursor = g.spiderCursor;
  DXTimerTimer(g);
  EXPECT_EQ(flips, 0);
  EXPECT_EQ(h.screen.pixel(10, 10), 0xFFFF) << "not even cleared";
  EXPECT_EQ(g.frameDice, dice);
  EXPECT_EQ(g.spiderCursor, cursor);
  h.screen.setCanDraw(true);
  DXTimerTimer(g);
  EXPECT_EQ(flips, 1);
  EXPECT_NE(g.spiderCursor, cursor) << "the play frame ran";
}

TEST_F(FrameTest, AClickTheMenuTakesIsNotSeenByPlayInTheSameFrame) {
  putItem(1, 1, "Sun Diamond", 395, 315);
  g.menuOpen = true;
  press(400, 320);  // "Play" in the menu, over the item on the board below
  DXTimerTimer(g);
  EXPECT_FALSE(g.menuOpen) << "the menu closed and play ran in the same frame";
  EXPECT_EQ(g.heldImage, 0);
  EXPECT_EQ(g.boardItems[1].kind, 1) << "the item was not picked up";
  press(400, 320);
  DXTimerTimer(g);
  EXPECT_EQ(g.inventoryGrid[1][1].kind, 1) << "a new press on the board picks it up";
}

TEST_F(FrameTest, PickingUpAnItemStoresItInTheInventoryAndLeavesItsGlow) {
  putItem(3, 2, "Blood Stone", 300, 400);
  g.hintStep = 4;
  g.boardItems[3].width = 1;
  g.boardItems[3].height = 1;
  press(335, 435);  // only a 2 x 2 item reaches this far (x < 339, y < 439)
  DXTimerTimer(g);
  const InventoryCell& cell = g.inventoryGrid[1][1];
  EXPECT_EQ(cell.kind, 2);
  EXPECT_EQ(cell.name, "Blood Stone");
  EXPECT_EQ(cell.text, "Flawless");
  EXPECT_EQ(cell.value, 150);
  EXPECT_EQ(cell.width, 1);
  EXPECT_EQ(cell.height, 1);
  EXPECT_EQ(g.heldImage, 0);
  EXPECT_EQ(g.boardItems[3].kind, 0);
  EXPECT_TRUE(g.boardItems[3].glow) << "the glow stays until the level ends";
  EXPECT_EQ(g.hintStep, 5);
  EXPECT_EQ(g.hintIndex, 5);
  EXPECT_EQ(g.itemTooltip, "Blood Stone");
}

TEST_F(FrameTest, ANearMissOrACarriedItemLeavesTheBoardItemAlone) {
  putItem(1, 3, "Crystal de Verde", 300, 300);
  press(315, 300);  // the right edge of a one-cell item: x < 300 + 15 fails
  DXTimerTimer(g);
  EXPECT_EQ(g.boardItems[1].kind, 3);
  EXPECT_TRUE(g.itemTooltip.empty());
  g.heldImage = 4;
  g.heldName = "Purple Saphire";
  press(305, 305);
  DXTimerTimer(g);
  EXPECT_EQ(g.boardItems[1].kind, 3);
  EXPECT_EQ(g.heldImage, 4);
  EXPECT_EQ(g.itemTooltip, "Crystal de Verde") << "hovering still names it";
}

TEST_F(FrameTest, SparkleRunsNineteenFramesOnTheItemWhoseTurnItIs) {
  putItem(2, 1, "Sun Diamond", 200, 500);
  g.sparkleTurn = 1;  // the next turn is slot 2
  g.mouseX = g.mouseY = 590;
  int frames = 0;
  DXTimerTimer(g);
  while (g.sparkleSlot == 2 && frames < 40) {
    ++frames;
    DXTimerTimer(g);
  }
  EXPECT_EQ(frames, 18) << "started in the first frame, ended in the nineteenth";
  EXPECT_EQ(g.sparkleAlpha, 240);
  EXPECT_EQ(g.sparkleSize, 20);
  EXPECT_EQ(g.sparkleTurn, 2) << "the turn waits while a sparkle runs";
}

TEST_F(FrameTest, InventoryPanelSlidesClosesOpensAndItsStripOpensTheMenu) {
  ASSERT_TRUE(g.inventoryOpen);
  g.mouseX = g.mouseY = 10;
  std::vector<int> xs;
  for (int i = 0; i < 7; ++i) {
    DXTimerTimer(g);
    xs.push_back(g.inventoryPanelX);
  }
  EXPECT_EQ(xs, (std::vector<int>{720, 690, 660, 630, 600, 570, 570}));

  press(650, 520, kPanelLeft);
  g.charmOpen = true;
  DXTimerTimer(g);
  EXPECT_FALSE(g.inventoryOpen);
  EXPECT_FALSE(g.charmOpen);
  EXPECT_TRUE(played(9));
  for (int i = 0; i < 8; ++i) DXTimerTimer(g);
  EXPECT_EQ(g.inventoryPanelX, 750);

  press(780, 170);  // the tab's top edge
  DXTimerTimer(g);
  EXPECT_FALSE(g.inventoryOpen);
  press(780, 171);
  DXTimerTimer(g);
  EXPECT_TRUE(g.inventoryOpen);

  press(790, 120);
  DXTimerTimer(g);
  EXPECT_TRUE(g.menuOpen);
}

TEST_F(FrameTest, FreezeRuneDroppedOnTheClockFreezesItForItsValue) {
  g.heldImage = 21;
  g.heldName = "Freeze Rune";
  g.heldValue = 12;
  press(400, 60);  // just below the clock
  DXTimerTimer(g);
  EXPECT_EQ(g.freezeTimer, 0);
  EXPECT_EQ(g.heldImage, 21);
  press(400, 59);
  DXTimerTimer(g);
  EXPECT_EQ(g.freezeTimer, 12);
  EXPECT_EQ(g.heldImage, 0);
  EXPECT_TRUE(g.heldName.empty());
}

TEST_F(FrameTest, LastSpiderGoneShowsTheGameOverPanelWithRetryAndMenu) {
  for (Spider& s : g.spiders) s.spiderLife = 0;
  g.mouseX = g.mouseY = 5;
  DXTimerTimer(g);
  EXPECT_TRUE(g.allSpidersDead);
  EXPECT_EQ(g.hintIndex, 7);

  g.tiles.first.hintTimer = 50;  // the board counts it down in every frame it runs
  DXTimerTimer(g);
  EXPECT_EQ(g.tiles.first.hintTimer, 50) << "the board stands still";

  press(270, 260);  // YES
  g.timeLeft = 100;
  DXTimerTimer(g);
  EXPECT_FALSE(g.allSpidersDead);
  EXPECT_EQ(g.timeLeft, 500) << "the level started again";
  EXPECT_FALSE(g.menuOpen);

  for (Spider& s : g.spiders) s.spiderLife = 0;
  g.mouseX = g.mouseY = 5;
  DXTimerTimer(g);
  press(480, 260);  // NO
  DXTimerTimer(g);
  EXPECT_FALSE(g.allSpidersDead);
  EXPECT_TRUE(g.menuOpen);
}

TEST_F(FrameTest, LevelStartHintsFloatUpInTheFirstSeconds) {
  g.timeLeft = 500;
  g.levelType = 2;
  g.maxSpiders = 8;
  DXTimerTimer(g);
  EXPECT_EQ(g.floatTexts[1].floatText, "Maximum Spiders is 8");
  g.levelType = 5;
  g.maxSpiders = 2;
  DXTimerTimer(g);
  EXPECT_EQ(g.floatTexts[2].floatText, "You only have to Convert 80 tiles!");
  g.timeLeft = 496;
  DXTimerTimer(g);
  EXPECT_EQ(g.floatTexts[3].floatTextLife, 0) << "no hint after the first seconds";
}

}  // namespace
}  // namespace mv::test
