#include "board/spiders.h"

#include <gtest/gtest.h>

#include "game_fixture.h"

namespace mv {
namespace {

using test::GameTest;

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

}  // namespace
}  // namespace mv
