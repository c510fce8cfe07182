// SPDX-License-Identifier: GPL-3.0-or-later
#include "board/jewels.h"

#include <string>

#include "state/game.h"

namespace mv {

namespace {

constexpr int kFirstJewelVoice = 19;

const char* const kJewelNames[5] = {"", "Sun Diamond", "Blood Stone", "Crystal de Verde",
                                    "Purple Saphire"};
// Lost Stones, kinds 13..16.
const char* const kStoneNames[4] = {"Lost Stone [Green]", "Lost Stone [Red]", "Lost Stone [Purple]",
                                    "Lost Stone [Gold]"};

void firstJewelVoice(Game& g) {
  if (g.voiceCooldown != 0 || !g.soundOn || g.firstJewelVoicePlayed) return;
  g.firstJewelVoicePlayed = true;
  g.voiceCooldown = 300;
  g.sound.playSound(kFirstJewelVoice);
}

// A grown spider finds a two-by-two pearl two times in three; otherwise its rune piece stays.
void growntreasure(Game& g, BoardItem& it) {
  const int r = g.random(0, 2);
  if (r == 2) return;
  it.kind = r == 0 ? 22 : 23;
  it.name = r == 0 ? "Blue Pearl" : "Crystal Pearl";
  it.value += r == 0 ? 1000 : 1500;
  it.width = it.height = 1;
}

// The rarer finds replace the jewel; each later one wins over the earlier ones.
void rarefinds(Game& g, BoardItem& it) {
  if (g.chance(10)) it.kind = g.random(5, 8);
  if (it.kind >= 5 && it.kind <= 8) {
    it.name = "Rune Piece";
    it.text = "Used to make complete rune";
  }
  if (g.chance(10)) {
    it.kind = g.random(13, 16);
    it.name = kStoneNames[it.kind - 13];
    it.text = "Drop onto any tile to swap";
  }
  if (g.chance(10)) {
    it.kind = g.random(17, 20);
    it.name = "Rune Piece [Freeze]";
    it.text = "Used to make complete rune";
  }
}

// The next Morvane Rune Piece, at most as many in the game so far as the level number.
void morvanepiece(Game& g, BoardItem& it) {
  if (g.runePiecesGiven >= g.level || !g.chance(5) || g.runePiecesGiven >= kRunePieces) return;
  it.kind = kFirstRunePiece + g.runePiecesGiven;
  if (++g.runePiecesGiven == kRunePieces) g.runePiecesGiven = 0;
  it.name = "Morvane Rune Piece";
  it.text = "Place into Spider Charm";
  it.width = it.height = 0;
  it.value = 0;
}

}  // namespace

void spawngem(Game& g, int count, int x, int y, int kind) {
  firstJewelVoice(g);
  int placed = 0;
  for (int i = 1; i <= kBoardItemSlots && placed < count; ++i) {
    BoardItem& it = g.boardItems[i];
    if (it.kind != 0) continue;
    it.x = x - 20 + g.random(0, 49);
    it.y = y - 20 + g.random(0, 49);
    it.width = it.height = 0;
    it.kind = kind == 0 ? g.random(1, 4) : kind;
    it.value = g.random(5, 104);
    ++placed;
    // A grown spider yields exactly one item.
    if (kind > 4) {
      growntreasure(g, it);
      placed = count;
    }
    if (it.kind <= 4) it.name = kJewelNames[it.kind];
    if (g.chance(2)) {
      it.text = "Flawless";
      it.value += 100;
    } else {
      it.text = "Cracked";
    }
    rarefinds(g, it);
    morvanepiece(g, it);
    it.glow = true;
  }
}

}  // namespace mv
