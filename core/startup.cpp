// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/startup.h"

#include "core/level.h"
#include "core/levels.h"
#include "items/inventory.h"
#include "profiles/players.h"
#include "profiles/savefile.h"
#include "puzzles/voodoo.h"
#include "state/game.h"

namespace mv {

void FormCreate(Game& g, uint64_t seed) {
  g.createNameLabel = "[ Create New Name ]";
  preparebox(g);

  g.level = 1;
  g.levelType = kBoardLevel;
  g.bookPage = 0;
  g.timeLeft = 0;
  g.boxHelpClicks = 0;
  g.soundOn = g.scaryOn = g.detailsOn = g.difficultyOn = true;
  g.backgroundIndex = 1;

  // The player list and the last player's file may set any value below.
  loadgamenames(g);
  const bool saved = hasSaveFile(g.playerName);
  loadgamedata(g, g.playerName);

  if (g.backgroundIndex > backgroundCount() || g.backgroundIndex < 1) g.backgroundIndex = 1;
  if (g.levelType > levelKindCount() || g.levelType < 1) g.levelType = kBoardLevel;
  if (g.level <= 0 || !saved) {
    // No usable save, or none at all: a first player's start, with the Book of Jewels.
    g.level = 1;
    g.levelType = kBoardLevel;
    g.backgroundIndex = 1;
    placebook(g);
  }
  g.inventoryOpen = true;
  g.rng.seed(seed);
  if (g.level > 1) {
    // A returning player has had these first-play hints and voices already.
    g.nearGoalHinted = true;
    g.tilesVoicePlayed = true;
    g.firstJewelVoicePlayed = true;
  }
  g.boardCols = 10;
  g.boardRows = 10;
  g.startSpiders = 10;
  g.menuOpen = true;
  if (g.playerName == "GUEST") g.nameEntryOpen = true;
  g.inventoryPanelX = 750;
  g.inventoryPanelY = 150;
  gamereset(g);
}

std::string thankYouText(const std::string& playerName, const std::string& site) {
  return "Thank you " + playerName +
         " for playing. Your game is automatically saved. Be sure to check out other games at " +
         site;
}

void exitgame(Game& g) {
  if (g.host) g.host->sendScore(g.playerName, g.level, g.score);
  g.screen.fillScreen(0);
  g.screen.flipScreen();
  if (!g.host) return;
  g.host->pause(2000);
  g.host->message(thankYouText(g.playerName, g.host->leaderboardPage()));
  g.host->close();
}

}  // namespace mv
