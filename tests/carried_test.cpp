// SPDX-License-Identifier: GPL-3.0-or-later
// The item on the cursor belongs to its player: no move copies it, hands it to another player or
// loses it. Each case carries an item at the moment that matters.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "core/frame.h"
#include "core/input.h"
#include "core/intro.h"
#include "core/level.h"
#include "core/menus.h"
#include "core/players.h"
#include "core/tally.h"
#include "game_fixture.h"
#include "items/charm.h"
#include "items/inventory.h"
#include "profiles/players.h"
#include "profiles/savefile.h"

namespace mv::test {
namespace {

const Item kBook{"Book of Jewels", "[ RIGHT-Click to Read ]", 12, 0, 1, 1};
const Item kCharm{"Spider Charm", "[Right-Click to Open]", 24, 0, 1, 1};

Item jewel(int kind = 2, int value = 61) {
  return Item{"Blood Stone", "Flawless", kind, value, 0, 0};
}
Item piece(int kind) {
  return Item{"Morvane Rune Piece", "Place into Spider Charm", kind, 0, 0, 0};
}

bool same(const Item& a, const Item& b) {
  return a.name == b.name && a.text == b.text && a.kind == b.kind && a.value == b.value &&
         a.width == b.width && a.height == b.height;
}

// The lines of a save file.
std::vector<std::string> linesOf(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(f, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

class CarriedTest : public GameTest {
 protected:
  void SetUp() override {
    g.inventoryPanelX = 570;
    g.inventoryPanelY = 150;
    g.hintStep = 5;  // no first-play hints in the way
  }
  void put(int c, int r, const Item& it) { static_cast<Item&>(g.inventoryGrid[c][r]) = it; }
  // Every inventory cell taken by a one-cell item but those listed.
  void fillBut(std::initializer_list<std::pair<int, int>> free, const Item& it) {
    for (int c = 1; c <= kInventoryCols; ++c)
      for (int r = 1; r <= kInventoryRows; ++r)
        if (std::find(free.begin(), free.end(), std::pair{c, r}) == free.end()) put(c, r, it);
  }
  // The number of items the player owns of this name: inventory, charm cells and cursor.
  int owned(const std::string& name) const {
    int n = checkinventory(g, name);
    for (int c = 1; c <= kCharmCols; ++c)
      for (int r = 1; r <= kCharmRows; ++r) n += g.charmGrid[c][r].name == name;
    return n;
  }
  int beeps() const {
    return static_cast<int>(std::count(h.sounds->log.begin(), h.sounds->log.end(), "beep"));
  }
  // A left press and its release around one frame.
  void click(int x, int y) {
    DXDrawMouseDown(g, MouseButton::Left, x, y);
    DXTimerTimer(g);
    DXDrawMouseUp(g);
  }
  void levelTwoIntro() {
    g.level = 2;
    g.introStage = 2;
    g.introTimer = 500;
    g.soundOn = false;
  }
};

// --- A new player --------------------------------------------------------------------------------

TEST_F(CarriedTest, ANewPlayerMadeFromTheMenuDoesNotTakeOverTheCarriedItem) {
  g.createNameLabel = "[ Create New Name ]";
  g.playerName = "ANN";
  g.playerList = {"", "ANN", "", "", "", ""};
  g.level = 5;
  g.levelType = 5;
  gamereset(g);
  placebook(g);
  put(1, 1, jewel());
  g.menuOpen = false;
  g.introStage = 0;

  // In play, the Book is taken from the inventory onto the cursor.
  const CellGrid cells = inventorycells(g);
  click(cellX(cells, 5) + 5, cellY(cells, 5) + 5);
  ASSERT_EQ(g.heldImage, 12);
  ASSERT_EQ(checkinventory(g, "Book of Jewels"), 1) << "the carried Book counts";

  // Esc, Change Player, "[ Create New Name ]", a name, OK.
  FormKeyDown(g, kKeyEscape);
  DXTimerTimer(g);
  click(400, 360);
  ASSERT_TRUE(g.playerSelectOpen);
  click(400, 355);
  ASSERT_TRUE(g.nameEntryOpen);
  for (char k : std::string("dee")) FormKeyPress(g, k);
  click(360, 470);
  ASSERT_EQ(g.playerName, "DEE");

  EXPECT_EQ(g.heldImage, 0);
  EXPECT_TRUE(same(helditem(g), Item{}));
  EXPECT_EQ(checkinventory(g, "Book of Jewels"), 1) << "only the new player's own Book";
  EXPECT_EQ(checkinventory(g, "Blood Stone"), 0);
  EXPECT_EQ(linesOf("DEE.dat").at(6), "0") << "nothing carried in the new player's file";
  // The Book stays with the player who carried it: the menu wrote it into ANN's file.
  const auto ann = linesOf("ANN.dat");
  EXPECT_EQ(ann.at(6), "12");
  EXPECT_EQ(ann.at(7), "Book of Jewels");
}

// --- The level-2 gift of the Spider Charm -------------------------------------------------------

TEST_F(CarriedTest, TheCharmGiftLeavesTheCarriedItemOnTheCursor) {
  levelTwoIntro();
  hold(g, jewel(3, 77));
  for (int i = 0; i < 5; ++i) intro(g);
  EXPECT_TRUE(g.charmGiven);
  EXPECT_EQ(g.inventoryGrid[1][1].name, "Spider Charm");
  EXPECT_TRUE(same(helditem(g), jewel(3, 77)));
  EXPECT_EQ(owned("Spider Charm"), 1);
}

TEST_F(CarriedTest, WithNoRoomForTheCharmItIsCarriedAndTheCarriedItemStored) {
  // Free one-cell gaps only: no two-by-two item fits anywhere.
  fillBut({{8, 14}, {3, 3}}, piece(30));
  levelTwoIntro();
  hold(g, jewel(4, 12));
  intro(g);
  EXPECT_TRUE(g.charmGiven);
  EXPECT_TRUE(same(helditem(g), kCharm));
  EXPECT_TRUE(same(g.inventoryGrid[3][3], jewel(4, 12)));

  // An empty hand simply carries it.
  g.charmGiven = false;
  emptyhand(g);
  givecharm(g);
  EXPECT_TRUE(same(helditem(g), kCharm));
}

TEST_F(CarriedTest, WithRoomForNeitherTheGiftWaitsAndTakesNothing) {
  fillBut({}, piece(30));
  levelTwoIntro();
  hold(g, jewel(1, 40));
  g.jewelsFound = 3;
  for (int i = 0; i < 20; ++i) intro(g);
  EXPECT_FALSE(g.charmGiven);
  EXPECT_TRUE(same(helditem(g), jewel(1, 40)));
  EXPECT_EQ(owned("Spider Charm"), 0);
  EXPECT_EQ(g.jewelsFound, 3) << "no store was tried";
  EXPECT_EQ(checkinventory(g, "Morvane Rune Piece"), 112);

  // With an empty hand, a full inventory is no hindrance: the charm is carried.
  g.charmGiven = false;
  emptyhand(g);
  for (int i = 0; i < 5; ++i) intro(g);
  EXPECT_TRUE(g.charmGiven);
  EXPECT_TRUE(same(helditem(g), kCharm));
  EXPECT_EQ(checkinventory(g, "Morvane Rune Piece"), 112);

  // Once there is room, the next level-2 intro gives it.
  g.charmGiven = false;
  hold(g, jewel(1, 40));
  for (int c = 1; c <= 2; ++c)
    for (int r = 1; r <= 2; ++r) g.inventoryGrid[c][r] = InventoryCell{};
  intro(g);
  EXPECT_TRUE(g.charmGiven);
  EXPECT_EQ(g.inventoryGrid[1][1].name, "Spider Charm");
  EXPECT_TRUE(same(helditem(g), jewel(1, 40)));
}

// Continue in the main menu on a fresh level 2, then some frames of its intro.
void continueFreshLevelTwo(Game& g) {
  g.level = 2;
  g.timeLeft = 500;
  g.soundOn = false;
  g.menuOpen = true;
  g.mouseX = 400;
  g.mouseY = 320;
  g.mouseButton = kLeft;
  mainmenu(g);
  ASSERT_EQ(g.introStage, 2);
  for (int i = 0; i < 5; ++i) intro(g);
}

TEST_F(CarriedTest, ACharmOnTheCursorCountsAsHeldAndNoSecondIsGiven) {
  g.playerName = "ANN";
  hold(g, kCharm);
  continueFreshLevelTwo(g);
  EXPECT_EQ(owned("Spider Charm"), 1);
  EXPECT_TRUE(same(helditem(g), kCharm));

  // The same in a new run, with the charm read from the hand lines of the save file.
  Headless next;
  Game& n = next.game;
  loadgamedata(n, "ANN");  // written when the menu opened
  ASSERT_EQ(n.heldImage, 24);
  continueFreshLevelTwo(n);
  EXPECT_EQ(checkinventory(n, "Spider Charm"), 1);
  EXPECT_EQ(n.inventoryGrid[1][1].name, "");
}

TEST_F(CarriedTest, AnEarlierPlayersCharmDoesNotStandForThisPlayers) {
  g.charmGiven = true;  // given to the player before, in this run
  continueFreshLevelTwo(g);
  EXPECT_TRUE(g.charmGiven);
  EXPECT_EQ(owned("Spider Charm"), 1);
}

TEST_F(CarriedTest, TheCharmIsNotDroppedIntoItsOwnCells) {
  g.charmOpen = true;
  const CellGrid cells = charmcells();
  const auto pressCharm = [&](int c, int r) {
    g.mouseX = cellX(cells, c) + 5;
    g.mouseY = cellY(cells, r) + 5;
    g.mouseButton = kPanelLeft;
  };
  hold(g, kCharm);
  pressCharm(1, 1);
  spiderinven(g);
  EXPECT_EQ(g.charmGrid[1][1].kind, 0);
  EXPECT_TRUE(same(helditem(g), kCharm));
  EXPECT_EQ(beeps(), 1);
  EXPECT_EQ(g.mouseButton, kNoClick);

  // Nor swapped in for an item lying there; that item can still be taken out.
  static_cast<Item&>(g.charmGrid[3][3]) = piece(35);
  pressCharm(3, 3);
  spiderinven(g);
  EXPECT_EQ(g.charmGrid[3][3].kind, 35);
  EXPECT_TRUE(same(helditem(g), kCharm));
  emptyhand(g);
  pressCharm(3, 3);
  spiderinven(g);
  EXPECT_EQ(g.heldImage, 35);

  // Into the inventory it goes as ever.
  pressCharm(3, 3);
  spiderinven(g);
  hold(g, kCharm);
  const CellGrid inv = inventorycells(g);
  g.mouseX = cellX(inv, 2) + 5;
  g.mouseY = cellY(inv, 2) + 5;
  g.mouseButton = kPanelLeft;
  inventory(g);
  EXPECT_EQ(g.inventoryGrid[2][2].name, "Spider Charm");
  EXPECT_EQ(g.heldImage, 0);
}

// --- Other writers of the hand ------------------------------------------------------------------

TEST_F(CarriedTest, TheTallysMorvanePieceNeverDisplacesTheCarriedItem) {
  fillBut({}, jewel(1, 5));
  g.levelComplete = true;
  g.timeLeft = 0;
  BoardItem& it = g.boardItems[3];
  static_cast<Item&>(it) = piece(28);
  g.runePieceSlot = 3;
  hold(g, jewel(4, 9));
  tally(g);
  EXPECT_TRUE(same(helditem(g), jewel(4, 9))) << "the carried jewel stays";
  EXPECT_EQ(it.kind, 28) << "the piece waits on the board";

  // With the hand free, a piece that fits nowhere is carried.
  emptyhand(g);
  g.runePieceSlot = 3;
  tally(g);
  EXPECT_TRUE(same(helditem(g), piece(28)));
  EXPECT_EQ(it.kind, 0);
}

}  // namespace
}  // namespace mv::test
