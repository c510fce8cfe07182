// SPDX-License-Identifier: GPL-3.0-or-later
// The one game state of a run: who plays, which screen shows, the options, the mouse, the level
// clock and counters, and the services through which routines reach the screen and speakers.
// Routines are plain functions taking a Game&; tests build their own Game and run any of them.
//
// The arrays of the boards, spiders, items, inventory and puzzles are structs of their own
// (state/board.h, state/items.h, state/puzzles.h), held here as members. Nothing on this floor
// has a rule of the game: the routines live in the folders above.
#pragma once

#include <array>
#include <set>
#include <string>

#include "media/canvas.h"
#include "media/catalogue.h"
#include "media/screen.h"
#include "media/sound.h"
#include "state/board.h"
#include "state/host.h"
#include "state/items.h"
#include "state/puzzles.h"
#include "state/random.h"

namespace mv {

// Colour codes of tiles, spiders and jewels.
enum Colour : int { kYellow = 1, kRed = 2, kGreen = 3, kPurple = 4, kSkull = 5, kEmpty = 11 };

// Click codes of mouseButton.
enum Click : int { kNoClick = 0, kLeft = 1, kRight = 2, kPanelLeft = 3, kPanelRight = 4 };

// Click areas are open: `v` lies strictly between `low` and `high`, edges excluded.
inline bool inside(int v, int low, int high) {
  return v > low && v < high;
}

// Files whose reading broke off on a failed read. They are not written over for the rest of the
// run, so the progress they hold stays on disk; a later complete read takes a file off the list.
using UnreadFiles = std::set<std::string>;

struct Game {
  Game(Screen& screen, TextCanvas& canvas, Sound& sound, Catalogue& cat, uint64_t seed = 1)
      : screen(screen), canvas(canvas), sound(sound), cat(cat), rng(seed) {}
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  // Services.
  Screen& screen;
  TextCanvas& canvas;
  Sound& sound;
  Catalogue& cat;
  Random rng;
  Host* host = nullptr;  // the windows around the game; none when headless

  const Image& image(ImageList list, int index) const { return cat.image(list, index); }
  Image& image(ImageList list, int index) { return cat.image(list, index); }
  int random(int a, int b) { return rng.random(a, b); }
  bool chance(int n) { return rng.chance(n); }
  // Plays a sound when the sound option is on (most call sites).
  void playIfOn(int index) {
    if (soundOn) sound.playSound(index);
  }

  // Player and progress.
  std::string playerName;  // empty until the player list names one
  int level = 1;
  int levelType = 1;
  int backgroundIndex = 1;
  int score = 0;

  // Options, kept in the player list file.
  bool soundOn = true;
  bool scaryOn = true;
  bool detailsOn = true;
  bool difficultyOn = true;

  // Mouse.
  int mouseX = 0, mouseY = 0;
  int mouseButton = kNoClick;
  std::string mouseEdge = "up";

  // Screens and modes.
  bool menuOpen = true;
  bool optionsOpen = false;
  bool playerSelectOpen = false;
  bool nameEntryOpen = false;
  bool instructionsOpen = false;
  bool exitRequested = false;
  bool levelComplete = false;
  bool allSpidersDead = false;
  int bookPage = 0;
  bool inventoryOpen = true;
  int inventoryPanelX = 750, inventoryPanelY = 150;
  bool charmOpen = false;
  int introStage = 0;

  // Level clock and counters.
  int timeLeft = 0;
  int freezeTimer = 0;
  int jewelsFound = 0;
  int jewelsConverted = 0;
  int spidersKilled = 0;
  int liveSpiders = 0;
  std::array<int, 5> colourCount{};  // 1..4 used
  int goalColour = 1;
  int spiderSlots = 10;
  int maxSpiders = 20;
  int spiderDeathPenalty = 10;
  int tileGoal = 100;
  int clearedCount = 0;
  int levelBonus = 0;
  int tallyDelay = 0;
  int runePieceSlot = 0;

  // Level set-up.
  int boardCols = 10, boardRows = 10;
  int boardRight = 0, boardBottom = 0;
  int board2Cols = 0, board2Rows = 0;
  int secondBoardCells = 0;
  int startSpiders = 10;
  int driftDir = 0, driftTimer = 0;
  int boardOffsetX = 0, boardOffsetY = 0;
  bool roundPuzzleOn = false, shootPuzzleOn = false, fallPuzzleOn = false, boxPuzzleOn = false;
  bool tilesNearTop = false;
  bool scatterRequest = false;

  // Intro, hints and effects.
  int introTimer = 0;
  int animTick = 1, animFrame = 1;
  bool animRising = true;
  int animBase = 0;
  bool soundLatch = false;
  bool menuSaved = false;
  bool charmGiven = false;
  int hintIndex = 0;
  int hintStep = 0;
  int hintFade = 0, hintX = 0, hintY = 0;
  bool fewSpidersHinted = false, nearGoalHinted = false, tilesVoicePlayed = false,
       firstJewelVoicePlayed = false;
  int bonusTimer = 0;
  int voiceCooldown = 0;
  int voiceIndex = 0;
  int quakeTimerA = 0, quakeTimerB = 0;
  int quakeX = 0, quakeY = 0;
  int shakeX = 0, shakeY = 0;
  int ghostTimer = 0, ghostCount = 0;
  bool scareArmed = false;
  int scareCount = 0;
  int megaBonusTimer = 0;
  int blinkCounter = 0;
  int frameDice = 0;
  int boxHelpClicks = 0;
  std::string levelHint;
  int levelHintX = 0, levelHintY = 0;
  std::string itemTooltip;
  std::array<std::string, 3> infoLine1;
  int spiderCursor = 0;
  int bloodRequestX = 0, bloodRequestY = 0;

  // Spider slots 1..20 (slot 0 is never a spider).
  SpiderSlots spiders{};
  // The tile boards: the first board, the second board of two-board levels.
  TileBoards tiles{};
  // The falling-tiles puzzle's rise and row-shift clocks.
  FallPuzzle fall{};
  // The round and shooting puzzles' grid of slots and their state.
  RingPuzzle ring{};

  // Blood splats 1..10 and floating texts 1..8.
  BloodSlots blood{};
  FloatTextSlots floatTexts{};
  BoardItems boardItems{};
  SmokePuffs smokePuffs{};

  // The voodoo box puzzle of levels of kind 4.
  VoodooBox voodoo{};

  // Sparkle over the board items.
  int sparkleTurn = 1, sparkleSlot = 0, sparkleAlpha = 0, sparkleAngle = 0, sparkleSize = 0;

  // The carried item.
  int heldImage = 0;
  std::string heldName, heldText;
  int heldValue = 0;
  int heldWidth = 0, heldHeight = 0;
  bool inventoryFullFlag = false;

  // The inventory (columns 1..8, rows 1..14) and the Spider Charm (4 x 4), saved with the player.
  InventoryGrid inventoryGrid{};
  bool dissolveSoundLatch = false;
  bool inventoryHinted = false;  // the inventory's hint has been shown this run
  CharmGrid charmGrid{};
  int runePiecesGiven = 0;  // Morvane Rune Pieces handed out, 0..15

  // Player selection and name entry.
  std::string createNameLabel;
  std::array<std::string, 6> playerList{};  // slots 1..5; an empty name is a free slot
  std::array<char32_t, 13> typedName{};     // cells 1..12 of the name being typed, a character each
  int typedCount = 0;
  std::string typedText;  // the used cells joined
  int cursorBlink = 0;
  UnreadFiles unreadFiles;  // the player list or saves that broke off while being read
};

}  // namespace mv
