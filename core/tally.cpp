// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/tally.h"

#include <string>

#include "core/level.h"
#include "core/levels.h"
#include "items/inventory.h"
#include "media/text2.h"
#include "state/game.h"

namespace mv {

namespace {

constexpr int kPointsPerSecond = 10;
constexpr int kIntroFrames = 700;

void write(Game& g, int x, int y, const std::string& text) {
  text2(g.screen, g.cat, x, y, text, 0);
}

void row(Game& g, int y, const std::string& label, int value) {
  write(g, 220, y, label);
  write(g, 520, y, std::to_string(value));
}

void startintro(Game& g, int stage) {
  g.introStage = stage;
  g.animTick = 0;
  g.animFrame = 0;
  g.introTimer = kIntroFrames;
}

// A Morvane Rune Piece still lying on the board goes into the inventory, or is carried when it
// does not fit. An item already carried stays on the cursor: the piece then waits on the board.
void takerunepiece(Game& g) {
  if (g.runePieceSlot <= 0) return;
  BoardItem& piece = g.boardItems[g.runePieceSlot];
  g.runePieceSlot = 0;
  if (!inventorystore(g, piece)) {
    if (g.heldImage > 0) return;
    hold(g, piece);
  }
  piece.kind = 0;
  piece.name.clear();
}

}  // namespace

void nextlevel(Game& g) {
  const int oldLevel = g.level;
  g.level += 1;
  if (oldLevel == 1) startintro(g, 2);
  if (g.level == 3) startintro(g, 3);
  g.backgroundIndex = nextBackground(g.backgroundIndex);
  g.levelType = nextLevelType(g.levelType);
  newlevel(g);
  g.levelComplete = false;
}

void tally(Game& g) {
  if (g.tallyDelay > 0) g.tallyDelay -= 1;
  if (g.tallyDelay == 0 && g.timeLeft > 0) {
    g.sound.beep();
    g.timeLeft -= 1;
    g.levelBonus += kPointsPerSecond;
    g.score += kPointsPerSecond;
  }

  g.screen.drawImage(g.image(ImageList::levellist, 0), 0, 75, 0);
  write(g, 250, 100, "LEVEL " + std::to_string(g.level) + " COMPLETE");
  row(g, 160, "JEWELS FOUND", g.jewelsFound);
  row(g, 190, "JEWELS CONVERTED", g.jewelsConverted);
  row(g, 220, "SPIDERS KILLED", g.spidersKilled);
  row(g, 250, "TIME COMPLETED", g.timeLeft);
  row(g, 310, "BONUS", g.levelBonus);
  row(g, 340, "SCORE", g.score);

  // The goal: a spider of the level's colour was alive in the last play frame.
  if (g.colourCount[g.goalColour] > 0) {
    if (g.blinkCounter < 10)
      write(g, 100, 380, "GOAL REACHED WITH " + std::to_string(g.liveSpiders) + " SPIDERS");
    g.blinkCounter += 1;
    if (g.blinkCounter > 20) g.blinkCounter = 0;
  }

  takerunepiece(g);

  if (g.timeLeft == 0 && g.mouseButton == kLeft) {
    nextlevel(g);
    g.mouseButton = kNoClick;
  }
  if (g.timeLeft == 0) {
    g.canvas.setBrushSolid(false);
    g.canvas.setFontColour(0xFFFFFF);
    g.canvas.textOut(350, 490, "[Click to continue]");
  }
}

}  // namespace mv
