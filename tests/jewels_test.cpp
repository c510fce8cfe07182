// SPDX-License-Identifier: GPL-3.0-or-later
// What spiders find: spawngem's kinds, names, values and Morvane pieces, and the jewel drop of
// two spiders meeting.
#include "board/jewels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "board/spiders.h"
#include "game_fixture.h"

namespace mv::test {
namespace {

class JewelsTest : public GameTest {
 protected:
  int items() const {
    int n = 0;
    for (int i = 1; i <= kBoardItemSlots; ++i) n += g.boardItems[i].kind > 0;
    return n;
  }
  void clearBoard() {
    for (BoardItem& it : g.boardItems) it = BoardItem{};
  }
  int count(const std::string& entry) const {
    return static_cast<int>(std::count(h.sounds->log.begin(), h.sounds->log.end(), entry));
  }
};

// The name and description every kind must carry, so no item ever reaches the inventory under a
// name that does not match its picture.
std::string expectedName(int kind) {
  static const std::map<int, std::string> kNames = {
      {1, "Sun Diamond"},          {2, "Blood Stone"},         {3, "Crystal de Verde"},
      {4, "Purple Saphire"},       {13, "Lost Stone [Green]"}, {14, "Lost Stone [Red]"},
      {15, "Lost Stone [Purple]"}, {16, "Lost Stone [Gold]"},  {22, "Blue Pearl"},
      {23, "Crystal Pearl"}};
  if (kind >= 5 && kind <= 8) return "Rune Piece";
  if (kind >= 17 && kind <= 20) return "Rune Piece [Freeze]";
  if (kind >= 25 && kind <= 40) return "Morvane Rune Piece";
  return kNames.at(kind);
}

TEST_F(JewelsTest, EveryItemCarriesTheNameTextAndValueOfItsKind) {
  g.level = 100;
  std::map<int, int> seen;
  for (int round = 0; round < 400; ++round) {
    clearBoard();
    spawngem(g, 2, 300, 300, round % 9);  // random jewels, coloured jewels, grown spiders
    for (int i = 1; i <= kBoardItemSlots; ++i) {
      const BoardItem& it = g.boardItems[i];
      if (it.kind == 0) continue;
      ++seen[it.kind];
      ASSERT_EQ(it.name, expectedName(it.kind)) << "kind " << it.kind;
      EXPECT_TRUE(it.glow);
      EXPECT_GE(it.x, 280);
      EXPECT_LE(it.x, 329);
      EXPECT_GE(it.y, 280);
      EXPECT_LE(it.y, 329);
      if (it.kind >= 25) {
        EXPECT_EQ(it.text, "Place into Spider Charm");
        EXPECT_EQ(it.value, 0);
        EXPECT_EQ(it.width, 0);
      } else if (it.kind == 23 && it.text == "Flawless") {
        EXPECT_GE(it.value, 1605);
        EXPECT_LE(it.value, 1704);
      } else if (it.kind <= 4) {
        EXPECT_EQ(it.value >= 105, it.text == "Flawless");
        EXPECT_LE(it.value, 204);
      }
      if (it.kind >= 5 && it.kind <= 8) {
        EXPECT_EQ(it.text, "Used to make complete rune");
      }
      if (it.kind >= 13 && it.kind <= 16) {
        EXPECT_EQ(it.text, "Drop onto any tile to swap");
      }
    }
  }
  for (int kind : {1, 4, 5, 13, 17, 22, 23, 25, 40}) EXPECT_GT(seen[kind], 0) << "kind " << kind;
}

TEST_F(JewelsTest, AGrownSpiderYieldsOneItemAColouredOneOneOrTwoOfItsColour) {
  g.level = 0;  // no Morvane pieces
  int pearls = 0, pieces = 0;
  for (int round = 0; round < 300; ++round) {
    clearBoard();
    spawngem(g, 2, 300, 300, 5 + round % 4);
    ASSERT_EQ(items(), 1);
    const BoardItem& it = g.boardItems[1];
    if (it.kind == 22 || it.kind == 23) {
      ++pearls;
      EXPECT_EQ(it.width, 1);
      EXPECT_EQ(it.height, 1);
    } else if (it.kind == 5 + round % 4) {
      ++pieces;
    }
  }
  // Pearls two times in three, about half of them still pearls after the rarer finds.
  EXPECT_GT(pearls, 110);
  EXPECT_LT(pearls, 180);
  EXPECT_GT(pieces, 50);

  clearBoard();
  int colour = 0;
  for (int round = 0; round < 50; ++round) {
    clearBoard();
    spawngem(g, 2, 300, 300, kGreen);
    EXPECT_EQ(items(), 2);
    colour += (g.boardItems[1].kind == kGreen) + (g.boardItems[2].kind == kGreen);
  }
  EXPECT_GT(colour, 50) << "most finds are the spider's own jewel";
}

TEST_F(JewelsTest, MorvanePiecesComeInOrderNoMoreThanTheLevelAndWrapAfterSixteen) {
  g.level = 1;
  for (int round = 0; round < 200; ++round) {
    clearBoard();
    spawngem(g, 2, 300, 300, 0);
  }
  EXPECT_EQ(g.runePiecesGiven, 1) << "level 1 hands out one piece in the whole game";

  g.level = 1000;
  g.runePiecesGiven = 14;
  std::vector<int> kinds;
  while (kinds.size() < 3) {
    clearBoard();
    spawngem(g, 1, 300, 300, 0);
    if (g.boardItems[1].kind >= 25) kinds.push_back(g.boardItems[1].kind);
  }
  EXPECT_EQ(kinds, (std::vector<int>{39, 40, 25}));
  EXPECT_EQ(g.runePiecesGiven, 1);
}

TEST_F(JewelsTest, AFullBoardTakesNothingButTheFirstJewelVoiceStillSpeaksOnce) {
  for (int i = 1; i <= kBoardItemSlots; ++i) g.boardItems[i].kind = 1;
  spawngem(g, 2, 300, 300, 0);
  EXPECT_EQ(count("play 19"), 1);
  EXPECT_EQ(g.voiceCooldown, 300);
  clearBoard();
  g.voiceCooldown = 0;
  spawngem(g, 2, 300, 300, 0);
  EXPECT_EQ(count("play 19"), 1) << "only the first jewel";
  EXPECT_EQ(items(), 2);
}

class JewelDrop : public GameTest {
 protected:
  void SetUp() override {
    g.timeLeft = 300;
    g.spiderSlots = 2;
    for (int i = 1; i <= 2; ++i) {
      Spider& s = g.spiders[i];
      s.spiderLife = 100;
      s.spiderSize = s.spiderGrowTo = 40;
      s.spiderX = 400 + 10 * i;  // 10 apart: within half of 40 on both axes
      s.spiderY = 500;
      s.spiderColour = "R";
      s.spiderSymbol = kRed;
    }
    g.spiderCursor = 1;
    g.spiders[2].spiderGemCooldown = 7;
  }
  int items() const {
    int n = 0;
    for (int i = 1; i <= kBoardItemSlots; ++i) n += g.boardItems[i].kind > 0;
    return n;
  }
};

TEST_F(JewelDrop, TheSpiderWhoseTurnItIsFindsJewelsWhereAnotherCrossesIt) {
  updatespider(g, 1);
  EXPECT_EQ(items(), 0) << "a spider does not meet itself";
  updatespider(g, 2);
  EXPECT_GE(items(), 1);
  EXPECT_LE(items(), 2);
  EXPECT_EQ(g.spiders[1].spiderGemCooldown, 100);
  EXPECT_EQ(g.spiders[2].spiderGemCooldown, 7) << "only the finder's cooldown is set";
  updatespider(g, 2);
  EXPECT_LE(items(), 2) << "not again while the cooldown runs";
}

TEST_F(JewelDrop, NothingIsFoundApartOrWhenTheClockHasRunOut) {
  g.spiders[2].spiderX = 440;  // 30 apart, beyond half of 40
  updatespider(g, 2);
  EXPECT_EQ(items(), 0);
  g.spiders[2].spiderX = 410;
  g.timeLeft = 0;
  updatespider(g, 2);
  EXPECT_EQ(items(), 0);
  g.timeLeft = 300;
  g.spiders[1].spiderLife = 0;  // a dead finder's place still yields
  updatespider(g, 2);
  EXPECT_GE(items(), 1);
}

}  // namespace
}  // namespace mv::test
