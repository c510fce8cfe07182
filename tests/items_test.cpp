// SPDX-License-Identifier: GPL-3.0-or-later
// The inventory and the Spider Charm: placing, the fit test, runes, clicks, the full-inventory
// cash-in, and putting the Morvane together.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/frame.h"
#include "core/level.h"
#include "core/menus.h"
#include "core/tally.h"
#include "game_fixture.h"
#include "items/charm.h"
#include "items/inventory.h"

namespace mv::test {
namespace {

Item jewel(int kind = 1, int value = 50) {
  return Item{"Sun Diamond", "Cracked", kind, value, 0, 0};
}
Item pearl(int value = 1200) {
  return Item{"Blue Pearl", "Flawless", 22, value, 1, 1};
}
Item piece(int kind) {
  return Item{"Morvane Rune Piece", "Place into Spider Charm", kind, 0, 0, 0};
}

class ItemsTest : public GameTest {
 protected:
  void SetUp() override {
    g.inventoryPanelX = 570;
    g.inventoryPanelY = 150;
  }
  void put(int c, int r, const Item& it) { static_cast<Item&>(g.inventoryGrid[c][r]) = it; }
  void putCharm(int c, int r, const Item& it) { static_cast<Item&>(g.charmGrid[c][r]) = it; }
  // A press with `code` just inside cell (c, r) of a grid.
  void press(const CellGrid& grid, int c, int r, int code) {
    g.mouseX = cellX(grid, c) + 5;
    g.mouseY = cellY(grid, r) + 5;
    g.mouseButton = code;
  }
  void pressCell(int c, int r, int code) { press(inventorycells(g), c, r, code); }
  void pressCharm(int c, int r, int code) { press(charmcells(), c, r, code); }
  int count(const std::string& entry) const {
    return static_cast<int>(std::count(h.sounds->log.begin(), h.sounds->log.end(), entry));
  }
  void add(const Item& it) {
    hold(g, it);
    inventoryadd(g);
  }
  void fillWithJewels(int value) {
    for (int c = 1; c <= kInventoryCols; ++c)
      for (int r = 1; r <= kInventoryRows; ++r) put(c, r, jewel(1, value));
  }
};

TEST_F(ItemsTest, AddFillsColumnsTopDownAndTwoByTwoItemsSkipCoveredCells) {
  add(jewel());
  add(jewel(2));
  EXPECT_EQ(g.inventoryGrid[1][1].kind, 1);
  EXPECT_EQ(g.inventoryGrid[1][2].kind, 2);
  EXPECT_EQ(g.heldImage, 0);
  EXPECT_EQ(g.jewelsFound, 2);
  EXPECT_EQ(count("play 6"), 2);

  g.inventoryGrid = {};
  put(1, 1, pearl());
  add(pearl(1500));
  EXPECT_EQ(g.inventoryGrid[1][3].kind, 22) << "beside a pearl in (1,1)-(2,2), the next goes below";
  add(jewel());
  EXPECT_EQ(g.inventoryGrid[1][5].kind, 1) << "covered cells (1,2) and (1,4) are not free";
}

TEST_F(ItemsTest, ATwoByTwoItemIsNeverPlacedInTheLastColumnOrRow) {
  fillWithJewels(10);
  for (int r = 1; r <= kInventoryRows; ++r) g.inventoryGrid[8][r] = InventoryCell{};
  for (int c = 1; c <= kInventoryCols; ++c) g.inventoryGrid[c][14] = InventoryCell{};
  g.inventoryFullFlag = false;
  add(pearl());
  EXPECT_TRUE(g.inventoryFullFlag);
  EXPECT_EQ(g.heldImage, 22) << "an item that fits nowhere stays carried";
  g.inventoryFullFlag = false;
  add(jewel(3));
  EXPECT_FALSE(g.inventoryFullFlag);
  EXPECT_EQ(g.inventoryGrid[1][14].kind, 3) << "a one-cell item fits in the last row";
}

TEST_F(ItemsTest, FitTestBlocksCoveredCellsTakenNeighboursAndEdges) {
  const CellGrid grid = inventorycells(g);
  put(3, 3, pearl());  // covers (4,3), (3,4), (4,4)
  EXPECT_EQ(fits(g, grid, 4, 3, 0, 0), Fit::Blocked);
  EXPECT_EQ(fits(g, grid, 3, 4, 0, 0), Fit::Blocked);
  EXPECT_EQ(fits(g, grid, 4, 4, 0, 0), Fit::Blocked);
  EXPECT_EQ(fits(g, grid, 5, 3, 0, 0), Fit::Fits);
  EXPECT_EQ(fits(g, grid, 2, 2, 1, 1), Fit::Blocked) << "would cover the pearl's cell";
  EXPECT_EQ(fits(g, grid, 2, 4, 1, 1), Fit::Blocked) << "would overlap the pearl's lower half";
  EXPECT_EQ(fits(g, grid, 4, 2, 1, 1), Fit::Blocked) << "would overlap from above-right";
  EXPECT_EQ(fits(g, grid, 5, 2, 1, 1), Fit::Fits);
  EXPECT_EQ(fits(g, grid, 8, 1, 1, 1), Fit::AtEdge);
  EXPECT_EQ(fits(g, grid, 1, 14, 1, 1), Fit::AtEdge);
  EXPECT_EQ(fits(g, grid, 8, 14, 0, 0), Fit::Fits);
  EXPECT_EQ(fits(g, charmcells(), 4, 1, 1, 1), Fit::AtEdge);
  EXPECT_EQ(fits(g, charmcells(), 3, 3, 1, 1), Fit::Fits);
}

TEST_F(ItemsTest, TheInventoryHintComesOnceOnLevelOneWhenTheFirstCellIsTaken) {
  g.inventoryOpen = false;
  add(jewel());
  EXPECT_EQ(g.hintIndex, 0) << "the first cell was still free";
  add(jewel());
  EXPECT_EQ(g.hintIndex, 11);
  EXPECT_TRUE(g.inventoryOpen);
  g.hintIndex = 0;
  add(jewel());
  EXPECT_EQ(g.hintIndex, 0) << "once per run";
}

TEST_F(ItemsTest, FourPiecesInASquareBecomeARune) {
  put(3, 4, Item{"Rune Piece", "", 5, 80, 0, 0});
  put(4, 4, Item{"Rune Piece", "", 6, 80, 0, 0});
  put(3, 5, Item{"Rune Piece", "", 7, 80, 0, 0});
  put(4, 5, Item{"Rune Piece", "", 8, 80, 0, 0});
  // The same Freeze pieces, but with the lower pair swapped, stay as they are.
  put(6, 1, Item{"Rune Piece [Freeze]", "", 17, 80, 0, 0});
  put(7, 1, Item{"Rune Piece [Freeze]", "", 18, 80, 0, 0});
  put(6, 2, Item{"Rune Piece [Freeze]", "", 20, 80, 0, 0});
  put(7, 2, Item{"Rune Piece [Freeze]", "", 19, 80, 0, 0});
  inventory(g);
  const InventoryCell& rune = g.inventoryGrid[3][4];
  EXPECT_EQ(rune.kind, 9);
  EXPECT_EQ(rune.name, "Grow Rune");
  EXPECT_GE(rune.value, 20);
  EXPECT_LE(rune.value, 29);
  EXPECT_EQ(rune.text, "Drop on Spider to Grow " + std::to_string(rune.value) + "% Bigger");
  EXPECT_EQ(rune.width, 1);
  EXPECT_EQ(rune.height, 1);
  for (auto [c, r] : {std::pair{4, 4}, {3, 5}, {4, 5}}) {
    EXPECT_EQ(g.inventoryGrid[c][r].kind, 0);
    EXPECT_TRUE(g.inventoryGrid[c][r].name.empty());
  }
  EXPECT_EQ(g.score, rune.value);
  EXPECT_EQ(g.jewelsConverted, 1);
  EXPECT_EQ(g.levelHint, "$" + std::to_string(rune.value));
  EXPECT_EQ(g.inventoryGrid[6][2].kind, 20);

  put(6, 2, Item{"Rune Piece [Freeze]", "", 19, 80, 0, 0});
  put(7, 2, Item{"Rune Piece [Freeze]", "", 20, 80, 0, 0});
  inventory(g);
  const InventoryCell& freeze = g.inventoryGrid[6][1];
  EXPECT_EQ(freeze.kind, 21);
  EXPECT_GE(freeze.value, 100);
  EXPECT_LE(freeze.value, 199);
  EXPECT_EQ(freeze.text,
            "Drop on Bonus Timer to FREEZE for " + std::to_string(freeze.value) + " Seconds");
}

TEST_F(ItemsTest, RightClickThrowsAwayOpensTheBookAndTogglesTheCharm) {
  put(1, 1, jewel(1, 90));
  put(5, 5, Item{"Book of Jewels", "[ RIGHT-Click to Read ]", 12, 0, 1, 1});
  put(1, 3, Item{"Spider Charm", "[Right-Click to Open]", 24, 0, 1, 1});
  put(2, 1, piece(25));
  pressCell(1, 1, kPanelRight);
  inventory(g);
  EXPECT_TRUE(g.inventoryGrid[1][1].name.empty());
  EXPECT_EQ(g.score, 0) << "thrown away without money";
  EXPECT_EQ(g.mouseButton, kNoClick);

  g.soundLatch = true;
  pressCell(6, 6, kPanelRight);  // the lower right of the book
  inventory(g);
  EXPECT_EQ(g.bookPage, 1);
  EXPECT_FALSE(g.soundLatch) << "the book's sound plays again";
  EXPECT_EQ(g.inventoryGrid[5][5].name, "Book of Jewels");

  pressCell(1, 3, kPanelRight);
  inventory(g);
  EXPECT_TRUE(g.charmOpen);
  EXPECT_EQ(count("play 9"), 1);
  pressCell(2, 4, kPanelRight);
  inventory(g);
  EXPECT_FALSE(g.charmOpen);

  g.level = 16;
  pressCell(2, 1, kPanelRight);
  inventory(g);
  EXPECT_EQ(g.inventoryGrid[2][1].kind, 25) << "kept up to level 16";
  g.level = 17;
  pressCell(2, 1, kPanelRight);
  inventory(g);
  EXPECT_EQ(g.inventoryGrid[2][1].kind, 0);
}

TEST_F(ItemsTest, PickUpDropAndSwapMoveItemsBetweenHandAndCells) {
  put(1, 1, jewel(1, 40));
  put(3, 3, jewel(2, 60));
  pressCell(1, 1, kPanelLeft);
  inventory(g);
  EXPECT_EQ(g.heldImage, 1);
  EXPECT_EQ(g.heldValue, 40);
  EXPECT_TRUE(g.inventoryGrid[1][1].name.empty());
  EXPECT_EQ(count("play 7"), 1);

  pressCell(3, 3, kPanelLeft);
  inventory(g);
  EXPECT_EQ(g.inventoryGrid[3][3].kind, 1) << "swapped";
  EXPECT_EQ(g.heldImage, 2);
  EXPECT_EQ(g.heldValue, 60);
  EXPECT_EQ(h.sounds->log.back(), "play 7") << "sound 6 then 7";

  pressCell(6, 6, kPanelLeft);
  inventory(g);
  EXPECT_EQ(g.inventoryGrid[6][6].kind, 2);
  EXPECT_EQ(g.heldImage, 0);
  EXPECT_TRUE(g.heldName.empty());

  hold(g, pearl());
  pressCell(8, 2, kPanelLeft);
  inventory(g);
  EXPECT_EQ(g.heldImage, 22) << "no room in the last column";
  EXPECT_EQ(count("beep"), 1);
  EXPECT_EQ(g.mouseButton, kPanelLeft) << "a refused drop leaves the click";
  pressCell(5, 6, kPanelLeft);  // would cover the jewel in (6, 6)
  inventory(g);
  EXPECT_EQ(g.heldImage, 22);
  EXPECT_EQ(count("beep"), 1) << "refused without a beep away from the edges";
}

TEST_F(ItemsTest, HoverShowsNameDescriptionAndValueButNoValueForAGrowRune) {
  put(2, 2, jewel(1, 75));
  put(4, 4, Item{"Grow Rune", "Drop on Spider to Grow 25% Bigger", 9, 25, 1, 1});
  pressCell(2, 2, kNoClick);
  inventory(g);
  EXPECT_EQ(g.infoLine1[0], "Sun Diamond");
  EXPECT_EQ(g.infoLine1[1], "Cracked");
  EXPECT_EQ(g.infoLine1[2], "$75");
  pressCell(5, 5, kNoClick);
  inventory(g);
  EXPECT_EQ(g.infoLine1[0], "Grow Rune");
  EXPECT_TRUE(g.infoLine1[2].empty());
  g.mouseX = 10;
  inventory(g);
  EXPECT_TRUE(g.infoLine1[0].empty()) << "cleared every frame";
}

TEST_F(ItemsTest, AFullInventoryCashesInEveryJewelOneAfterAnother) {
  fillWithJewels(0);
  int sum = 0, n = 0;
  for (int c = 1; c <= kInventoryCols; ++c)
    for (int r = 1; r <= kInventoryRows; ++r) {
      g.inventoryGrid[c][r].value = 1 + (n++ % 7);
      sum += g.inventoryGrid[c][r].value;
    }
  inventory(g);
  EXPECT_EQ(g.inventoryGrid[8][14].dissolveCount, 19);
  int frames = 0;
  while (g.score < sum && frames < 112 * 19 + 10) {
    inventory(g);
    ++frames;
    if (frames == 18) {
      EXPECT_EQ(g.inventoryGrid[1][2].dissolveCount, 19) << "waits its turn";
    }
    if (frames == 19) {
      EXPECT_TRUE(g.inventoryGrid[1][1].name.empty()) << "the first cell paid out";
      EXPECT_TRUE(g.inventoryGrid[1][2].dissolving) << "and handed on in the same frame";
    }
  }
  EXPECT_EQ(frames, 112 * 18 + 1);
  EXPECT_EQ(g.score, sum);
  EXPECT_EQ(g.jewelsConverted, 112);
  EXPECT_EQ(count("play 10"), 112);
  EXPECT_FALSE(g.dissolveSoundLatch);
  EXPECT_EQ(checkinventory(g, ""), 112);
}

TEST_F(ItemsTest, ToolsAndMorvanePiecesSurviveACashInAndPearlCellsTakeItemsAgain) {
  fillWithJewels(5);
  for (int c = 1; c <= 2; ++c)
    for (int r = 1; r <= 2; ++r) g.inventoryGrid[c][r] = InventoryCell{};
  put(1, 1, pearl(1000));
  put(3, 1, piece(30));
  put(5, 5, Item{"Book of Jewels", "", 12, 0, 1, 1});
  for (auto [c, r] : {std::pair{6, 5}, {5, 6}, {6, 6}}) g.inventoryGrid[c][r] = InventoryCell{};
  inventory(g);
  EXPECT_EQ(g.inventoryGrid[1][2].name, "[empty]") << "a covered cell dissolves too";
  for (int i = 0; i < 112 * 19; ++i) inventory(g);
  EXPECT_EQ(g.score, 1000 + 5 * (112 - 4 - 4 - 1));
  EXPECT_EQ(g.inventoryGrid[3][1].kind, 30);
  EXPECT_EQ(g.inventoryGrid[5][5].kind, 12);
  add(pearl());
  EXPECT_EQ(g.inventoryGrid[1][1].kind, 22) << "the pearl's four cells are free again";
}

TEST_F(ItemsTest, ADissolvingCellRefusesClicksAndKeepsItsTurn) {
  fillWithJewels(5);
  inventory(g);
  inventory(g);  // (1,1) is dissolving, the rest wait
  for (int code : {kPanelLeft, kPanelRight}) {
    pressCell(1, 1, code);
    inventory(g);
    EXPECT_EQ(g.mouseButton, kNoClick);
    EXPECT_EQ(g.inventoryGrid[1][1].kind, 1);
  }
  hold(g, jewel(3));
  pressCell(2, 2, kPanelLeft);
  inventory(g);
  EXPECT_EQ(g.heldImage, 3) << "a waiting cell refuses a drop";
  EXPECT_EQ(count("beep"), 3);
  for (int i = 0; i < 40; ++i) inventory(g);
  EXPECT_TRUE(g.inventoryGrid[1][2].name.empty()) << "the cash-in goes on";
}

TEST_F(ItemsTest, BoardItemPickUpWithAFullInventoryLeavesTheItemAndPlaysTheFullSound) {
  g.menuOpen = false;
  g.hintStep = 5;
  g.timeLeft = 300;
  g.inventoryOpen = false;
  g.inventoryPanelX = 750;
  for (int c = 1; c <= kInventoryCols; ++c)
    for (int r = 1; r <= kInventoryRows; ++r) put(c, r, piece(25));
  BoardItem& it = g.boardItems[2];
  static_cast<Item&>(it) = jewel(4, 70);
  it.x = 300;
  it.y = 400;
  g.mouseX = 302;
  g.mouseY = 402;
  g.mouseButton = kLeft;
  playFrame(g);
  EXPECT_EQ(it.kind, 4);
  EXPECT_EQ(it.value, 70);
  EXPECT_EQ(g.heldImage, 0);
  EXPECT_EQ(count("play 3"), 1);
}

TEST_F(ItemsTest, TheTallyTakesAMorvanePieceLeftOnTheBoard) {
  g.levelComplete = true;
  g.timeLeft = 5;
  BoardItem& it = g.boardItems[4];
  static_cast<Item&>(it) = piece(27);
  g.runePieceSlot = 4;
  hold(g, jewel(2, 33));  // carried when the level ended
  tally(g);
  EXPECT_EQ(checkinventory(g, "Morvane Rune Piece"), 1);
  EXPECT_EQ(it.kind, 0);
  EXPECT_EQ(g.runePieceSlot, 0);
  EXPECT_EQ(g.heldImage, 2) << "the carried jewel stays on the cursor";
  EXPECT_EQ(g.heldValue, 33);
}

TEST_F(ItemsTest, ANewPlayerStartsWithOnlyTheBookAndAnEmptyCharm) {
  put(1, 1, jewel());
  putCharm(2, 2, piece(30));
  g.runePiecesGiven = 7;
  newplayerreset(g);
  EXPECT_EQ(checkinventory(g, ""), 111);
  EXPECT_EQ(g.inventoryGrid[5][5].name, "Book of Jewels");
  EXPECT_EQ(g.inventoryGrid[5][5].text, "[ RIGHT-Click to Read ]");
  EXPECT_EQ(g.inventoryGrid[5][5].kind, 12);
  EXPECT_EQ(g.inventoryGrid[5][5].width, 1);
  EXPECT_EQ(g.charmGrid[2][2].kind, 0);
  EXPECT_EQ(g.runePiecesGiven, 0);
}

TEST_F(ItemsTest, PlayOnAFreshLevelNotesASpiderCharmAlreadyOwned) {
  g.timeLeft = 500;
  put(3, 3, Item{"Spider Charm", "", 24, 0, 1, 1});
  g.mouseX = 400;
  g.mouseY = 320;
  g.mouseButton = kLeft;
  mainmenu(g);
  EXPECT_TRUE(g.charmGiven);
}

class CharmTest : public ItemsTest {
 protected:
  void completeCharm() {
    for (int r = 1; r <= 4; ++r)
      for (int c = 1; c <= 4; ++c) putCharm(c, r, piece(25 + (c - 1) + 4 * (r - 1)));
  }
};

TEST_F(CharmTest, SixteenPiecesInPlacePutTheMorvaneTogetherInOneFrame) {
  completeCharm();
  g.runePiecesGiven = 3;
  spiderinven(g);
  EXPECT_EQ(g.megaBonusTimer, 500);
  EXPECT_EQ(g.runePiecesGiven, 0);
  for (int r = 1; r <= 4; ++r)
    for (int c = 1; c <= 4; ++c) {
      EXPECT_EQ(g.charmGrid[c][r].kind, 0);
      EXPECT_TRUE(g.charmGrid[c][r].name.empty());
    }
}

TEST_F(CharmTest, SwappedPiecesDoNotCountUntilSwappedBack) {
  completeCharm();
  putCharm(1, 1, piece(30));
  putCharm(2, 2, piece(25));
  spiderinven(g);
  EXPECT_EQ(g.megaBonusTimer, 0);
  EXPECT_EQ(g.charmGrid[1][1].kind, 30) << "a piece in the wrong cell is kept";
  pressCharm(1, 1, kPanelLeft);
  spiderinven(g);
  EXPECT_EQ(g.heldImage, 30);
  pressCharm(2, 2, kPanelLeft);
  spiderinven(g);
  EXPECT_EQ(g.heldImage, 25);
  EXPECT_EQ(g.megaBonusTimer, 0);
  pressCharm(1, 1, kPanelLeft);
  spiderinven(g);
  EXPECT_EQ(g.heldImage, 0);
  EXPECT_EQ(g.megaBonusTimer, 0) << "counted at the start of the next frame";
  spiderinven(g);
  EXPECT_EQ(g.megaBonusTimer, 500);
}

TEST_F(CharmTest, AnyItemMayLieThereButOnlyJewelsAreThrownAway) {
  hold(g, jewel(3, 44));
  pressCharm(2, 3, kPanelLeft);
  spiderinven(g);
  EXPECT_EQ(g.charmGrid[2][3].kind, 3);
  pressCharm(2, 3, kNoClick);
  spiderinven(g);
  EXPECT_EQ(g.infoLine1[2], "$44");
  pressCharm(2, 3, kPanelLeft);
  spiderinven(g);
  EXPECT_EQ(g.heldImage, 3) << "taken back";
  pressCharm(2, 3, kPanelLeft);
  spiderinven(g);
  pressCharm(2, 3, kPanelRight);
  spiderinven(g);
  EXPECT_EQ(g.charmGrid[2][3].kind, 0) << "thrown away";

  g.level = 40;
  putCharm(1, 1, piece(25));
  putCharm(3, 1, Item{"Spider Charm", "", 24, 0, 1, 1});
  pressCharm(1, 1, kPanelRight);
  spiderinven(g);
  pressCharm(3, 1, kPanelRight);
  spiderinven(g);
  EXPECT_EQ(g.charmGrid[1][1].kind, 25);
  EXPECT_EQ(g.charmGrid[3][1].kind, 24);
  EXPECT_FALSE(g.charmOpen);

  hold(g, pearl());
  pressCharm(1, 4, kPanelLeft);
  spiderinven(g);
  EXPECT_EQ(g.heldImage, 22);
  EXPECT_EQ(count("beep"), 1);
}

}  // namespace
}  // namespace mv::test
