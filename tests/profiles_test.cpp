// SPDX-License-Identifier: GPL-3.0-or-later
// Player profiles: the save file's layout and reading rules, the player list with the options,
// name entry and the two player screens.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/frame.h"
#include "core/level.h"
#include "core/menus.h"
#include "core/players.h"
#include "core/startup.h"
#include "game_fixture.h"
#include "profiles/players.h"
#include "profiles/savefile.h"

namespace mv::test {
namespace {

namespace fs = std::filesystem;

std::string readAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

// The file's lines, split at CR LF; a line end without its CR fails the test.
std::vector<std::string> linesOf(const std::string& path) {
  const std::string all = readAll(path);
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < all.size()) {
    const size_t end = all.find("\r\n", at);
    EXPECT_NE(end, std::string::npos) << "last line not ended by CR LF";
    if (end == std::string::npos) break;
    lines.push_back(all.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

void writeLines(const std::string& path, const std::vector<std::string>& lines) {
  std::ofstream f(path, std::ios::binary);
  for (const auto& l : lines) f << l << "\r\n";
}

void putBook(InventoryCell& c) {
  c.name = "Book of Jewels";
  c.text = "[ RIGHT-Click to Read ]";
  c.kind = 12;
  c.width = c.height = 1;
}

class ProfilesTest : public GameTest {
 protected:
  int beeps() const {
    int n = 0;
    for (const auto& e : h.sounds->log) n += e == "beep";
    return n;
  }
  void type(const std::string& keys) {
    for (char c : keys) FormKeyPress(g, static_cast<unsigned char>(c));
  }
  void press(int x, int y) {
    g.mouseX = x;
    g.mouseY = y;
    g.mouseButton = kLeft;
  }
};

// --- Save file ----------------------------------------------------------------------------------

TEST_F(ProfilesTest, SaveFileLayoutOfAFreshPlayer) {
  g.level = 1;
  g.score = 0;
  putBook(g.inventoryGrid[5][5]);
  ASSERT_TRUE(savegamedata(g, "ABC"));
  const auto lines = linesOf("ABC.dat");
  ASSERT_EQ(lines.size(), 908u);
  // The Book at column 5, row 5 is cell record 61, lines 433..439.
  const std::vector<std::string> book = {
      "Book of Jewels", "[ RIGHT-Click to Read ]", "12", "0", "1", "1", "0"};
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 432, lines.begin() + 439), book);
  // Every free cell: two empty lines and five zeros.
  const std::vector<std::string> free = {"", "", "0", "0", "0", "0", "0"};
  for (int record = 0; record < 128; ++record) {
    if (record == 60) continue;
    const auto at = lines.begin() + 12 + record * 7;
    EXPECT_EQ(std::vector<std::string>(at, at + 7), free) << "record " << record;
  }
}

TEST_F(ProfilesTest, SaveFileHeadAndCellOrder) {
  g.level = 14;
  g.levelType = 2;
  g.backgroundIndex = 4;
  g.score = -250;
  g.hintStep = 5;
  g.runePiecesGiven = 9;
  g.heldImage = 21;
  g.heldName = "Freeze Rune";
  g.heldText = "Drop on the clock";
  g.heldValue = 30;
  g.inventoryGrid[1][2].name = "col1row2";  // record 2: columns run down first
  g.inventoryGrid[2][1].name = "col2row1";  // record 15
  g.charmGrid[2][1].name = "charm21";       // charm record 2: rows run across first
  g.charmGrid[1][2].name = "charm12";       // charm record 5
  ASSERT_TRUE(savegamedata(g, "P"));
  const auto lines = linesOf("P.dat");
  ASSERT_EQ(lines.size(), 908u);
  const std::vector<std::string> head = {
      "14", "2", "4", "-250", "5", "9", "21", "Freeze Rune", "Drop on the clock", "30", "0", "0"};
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 12), head);
  EXPECT_EQ(lines[12 + 1 * 7], "col1row2");
  EXPECT_EQ(lines[12 + 14 * 7], "col2row1");
  EXPECT_EQ(lines[796 + 1 * 7], "charm21");
  EXPECT_EQ(lines[796 + 4 * 7], "charm12");
}

TEST_F(ProfilesTest, RoundTripRestoresEverythingButDissolving) {
  g.level = 23;
  g.levelType = 5;
  g.backgroundIndex = 3;
  g.score = 123456;
  g.hintStep = 4;
  g.runePiecesGiven = 15;
  g.heldImage = 7;
  g.heldName = "Pearl";
  g.heldText = "worth a little";
  g.heldValue = 75;
  g.heldWidth = g.heldHeight = 1;
  for (int c = 1; c <= kInventoryCols; ++c)
    for (int r = 1; r <= kInventoryRows; ++r) {
      InventoryCell& cell = g.inventoryGrid[c][r];
      cell.name = "I" + std::to_string(c * 100 + r);
      cell.text = "t" + std::to_string(r);
      cell.kind = c + r;
      cell.value = c * r;
      cell.width = c % 2;
      cell.height = r % 2;
      cell.dissolveCount = 7;
      cell.dissolving = true;
    }
  for (int c = 1; c <= kCharmCols; ++c)
    for (int r = 1; r <= kCharmRows; ++r) g.charmGrid[c][r].kind = 20 + c * 4 + r;
  ASSERT_TRUE(savegamedata(g, "ROUND"));

  Headless other;
  Game& back = other.game;
  ASSERT_TRUE(loadgamedata(back, "ROUND"));
  EXPECT_EQ(back.level, 23);
  EXPECT_EQ(back.levelType, 5);
  EXPECT_EQ(back.backgroundIndex, 3);
  EXPECT_EQ(back.score, 123456);
  EXPECT_EQ(back.hintStep, 4);
  EXPECT_EQ(back.runePiecesGiven, 15);
  EXPECT_EQ(back.heldImage, 7);
  EXPECT_EQ(back.heldName, "Pearl");
  EXPECT_EQ(back.heldText, "worth a little");
  EXPECT_EQ(back.heldValue, 75);
  EXPECT_EQ(back.heldWidth, 1);
  EXPECT_EQ(back.heldHeight, 1);
  for (int c = 1; c <= kInventoryCols; ++c)
    for (int r = 1; r <= kInventoryRows; ++r) {
      const InventoryCell& a = g.inventoryGrid[c][r];
      const InventoryCell& b = back.inventoryGrid[c][r];
      EXPECT_EQ(b.name, a.name);
      EXPECT_EQ(b.text, a.text);
      EXPECT_EQ(b.kind, a.kind);
      EXPECT_EQ(b.value, a.value);
      EXPECT_EQ(b.width, a.width);
      EXPECT_EQ(b.height, a.height);
      EXPECT_EQ(b.dissolveCount, 0);
      EXPECT_FALSE(b.dissolving);
    }
  for (int c = 1; c <= kCharmCols; ++c)
    for (int r = 1; r <= kCharmRows; ++r) EXPECT_EQ(back.charmGrid[c][r].kind, 20 + c * 4 + r);
}

TEST_F(ProfilesTest, ShortFileEmptiesWhatComesAfterIt) {
  writeLines("SHORT.dat", {"7", "3", "2", "900", "5", "4"});
  g.heldImage = 9;
  g.heldName = "Grow Rune";
  g.inventoryGrid[3][3].name = "kept?";
  g.inventoryGrid[3][3].kind = 5;
  g.charmGrid[4][4].kind = 30;
  ASSERT_TRUE(loadgamedata(g, "SHORT"));
  EXPECT_EQ(g.level, 7);
  EXPECT_EQ(g.levelType, 3);
  EXPECT_EQ(g.backgroundIndex, 2);
  EXPECT_EQ(g.score, 900);
  EXPECT_EQ(g.hintStep, 5);
  EXPECT_EQ(g.runePiecesGiven, 4);
  EXPECT_EQ(g.heldImage, 0);
  EXPECT_EQ(g.heldName, "");
  EXPECT_EQ(g.inventoryGrid[3][3].name, "");
  EXPECT_EQ(g.inventoryGrid[3][3].kind, 0);
  EXPECT_EQ(g.charmGrid[4][4].kind, 0);
}

TEST_F(ProfilesTest, ALineWithNoIntegerEndsTheReading) {
  for (const std::string& bad :
       std::vector<std::string>{"abc", "", "12abc", "99999999999", "-", "1.5", "+-5", "-+5"}) {
    g.level = g.levelType = g.backgroundIndex = 1;
    g.score = 77;
    g.hintStep = 2;
    writeLines("BAD.dat", {"4", " 6 ", "+2", bad, "5"});
    EXPECT_FALSE(loadgamedata(g, "BAD")) << bad;
    EXPECT_EQ(g.level, 4);
    EXPECT_EQ(g.levelType, 6);
    EXPECT_EQ(g.backgroundIndex, 2);
    EXPECT_EQ(g.score, 77) << "'" << bad << "' is no integer";
    EXPECT_EQ(g.hintStep, 2);
  }
  // A bad dissolve count keeps the rest of the inventory as it was in memory.
  g.inventoryGrid[1][2].name = "still here";
  std::vector<std::string> lines(12, "1");
  lines[7] = lines[8] = "";
  for (const char* l : {"Gem", "shiny", "3", "10", "0", "0", "x"}) lines.push_back(l);
  writeLines("CELL.dat", lines);
  EXPECT_FALSE(loadgamedata(g, "CELL"));
  EXPECT_EQ(g.inventoryGrid[1][1].name, "Gem");
  EXPECT_EQ(g.inventoryGrid[1][2].name, "still here");
}

TEST_F(ProfilesTest, MissingFileOrUnsafeNameChangesNothing) {
  g.level = 9;
  g.score = 4321;
  EXPECT_FALSE(loadgamedata(g, "NOBODY"));
  EXPECT_EQ(g.level, 9);
  EXPECT_EQ(g.score, 4321);
  // Names that would leave the directory, name a device or the player list write nothing.
  fs::create_directory("sub");
  writeLines("sub/X.dat", {"2"});
  for (const std::string& name : std::vector<std::string>{
           "sub/X", "sub\\X", "..", "...", "CON", "lpt1", "gamenames", "A\nB", "A:B", "A*"}) {
    EXPECT_FALSE(safePlayerName(name)) << name;
    EXPECT_FALSE(savegamedata(g, name)) << name;
    EXPECT_FALSE(loadgamedata(g, name)) << name;
  }
  EXPECT_EQ(g.level, 9);
  EXPECT_EQ(linesOf("sub/X.dat"), std::vector<std::string>{"2"});
  EXPECT_FALSE(fs::exists("gamenames.dat"));
  // Names that are fine, including the empty one of a start without a player list.
  for (const std::string& name :
       std::vector<std::string>{"ABC", "A.B", "A..B", "[NONE]", "", "CONSOLE"})
    EXPECT_TRUE(safePlayerName(name)) << name;
}

TEST_F(ProfilesTest, AFailedWriteKeepsTheOldFile) {
  g.level = 5;
  ASSERT_TRUE(savegamedata(g, "KEEP"));
  const std::string before = readAll("KEEP.dat");
  EXPECT_FALSE(fs::exists("KEEP.dat.tmp"));
  // The temporary file cannot be made: the old save stays whole.
  fs::create_directory("KEEP.dat.tmp");
  fs::create_directory("KEEP.dat.tmp/in-the-way");
  g.level = 6;
  EXPECT_FALSE(savegamedata(g, "KEEP"));
  EXPECT_EQ(readAll("KEEP.dat"), before);
  // Nor can a player list be half written.
  ASSERT_TRUE(savegamenames(g));
  const std::string list = readAll("gamenames.dat");
  fs::create_directory("gamenames.dat.tmp");
  fs::create_directory("gamenames.dat.tmp/in-the-way");
  g.soundOn = false;
  EXPECT_FALSE(savegamenames(g));
  EXPECT_EQ(readAll("gamenames.dat"), list);
}

TEST_F(ProfilesTest, NewLevelAndMenuWriteThePlayersFile) {
  g.playerName = "MARA";
  g.level = 3;
  newlevel(g);
  EXPECT_EQ(linesOf("MARA.dat").at(0), "3");
  // Once per opening of the menu.
  g.level = 4;
  g.menuSaved = false;
  mainmenu(g);
  EXPECT_EQ(linesOf("MARA.dat").at(0), "4");
  g.level = 5;
  mainmenu(g);
  EXPECT_EQ(linesOf("MARA.dat").at(0), "4");
}

// --- Player list and start-up -------------------------------------------------------------------

TEST_F(ProfilesTest, PlayerListFormatAndOptions) {
  g.soundOn = false;
  g.difficultyOn = false;
  g.playerName = "ZED";
  g.playerList = {"", "ANN", "", "ZED", "", ""};
  ASSERT_TRUE(savegamenames(g));
  EXPECT_EQ(readAll("gamenames.dat"), "0\r\n1\r\n1\r\n0\r\nZED\r\nANN\r\n\r\nZED\r\n\r\n\r\n");

  // Any non-zero number leaves an option on; 0 turns it off.
  writeLines("gamenames.dat", {"0", "7", "-1", "0", "ZED", "ANN"});
  Headless other;
  other.game.playerList[3] = "OLD";
  ASSERT_TRUE(loadgamenames(other.game));
  EXPECT_FALSE(other.game.soundOn);
  EXPECT_TRUE(other.game.scaryOn);
  EXPECT_TRUE(other.game.detailsOn);
  EXPECT_FALSE(other.game.difficultyOn);
  EXPECT_EQ(other.game.playerName, "ZED");
  EXPECT_EQ(other.game.playerList[1], "ANN");
  EXPECT_EQ(other.game.playerList[3], "");  // past the end: empty
}

TEST_F(ProfilesTest, BrokenPlayerListsAtStartUp) {
  {  // An empty file turns all four options off.
    writeLines("gamenames.dat", {});
    Headless fresh;
    FormCreate(fresh.game, 1);
    EXPECT_FALSE(fresh.game.soundOn || fresh.game.scaryOn || fresh.game.detailsOn ||
                 fresh.game.difficultyOn);
    EXPECT_EQ(fresh.game.playerName, "");
  }
  {  // A bad option line ends the reading; the rest keeps its start value.
    writeLines("gamenames.dat", {"0", "on", "0", "0", "ZED"});
    Headless fresh;
    FormCreate(fresh.game, 1);
    EXPECT_FALSE(fresh.game.soundOn);
    EXPECT_TRUE(fresh.game.scaryOn && fresh.game.detailsOn && fresh.game.difficultyOn);
    EXPECT_EQ(fresh.game.playerName, "");
  }
  {  // No list: no name, the menu opens and no name entry.
    fs::remove("gamenames.dat");
    Headless fresh;
    FormCreate(fresh.game, 1);
    EXPECT_EQ(fresh.game.playerName, "");
    EXPECT_TRUE(fresh.game.menuOpen);
    EXPECT_FALSE(fresh.game.nameEntryOpen);
  }
}

TEST_F(ProfilesTest, StartUpLoadsTheLastPlayer) {
  writeLines("gamenames.dat", {"0", "1", "1", "0", "ABC", "ABC"});
  std::vector<std::string> save = {"12", "3", "4", "5000"};
  writeLines("ABC.dat", save);
  Headless fresh;
  FormCreate(fresh.game, 1);
  EXPECT_FALSE(fresh.game.soundOn);
  EXPECT_TRUE(fresh.game.scaryOn);
  EXPECT_TRUE(fresh.game.detailsOn);
  EXPECT_FALSE(fresh.game.difficultyOn);
  EXPECT_EQ(fresh.game.level, 12);
  EXPECT_EQ(fresh.game.levelType, 3);
  EXPECT_EQ(fresh.game.backgroundIndex, 4);
  EXPECT_EQ(fresh.game.score, 5000);
  // The level started at once and saved the player as loaded.
  EXPECT_EQ(linesOf("ABC.dat").at(0), "12");

  // Out-of-range values are mended; a level of 0 starts the player afresh.
  writeLines("ABC.dat", {"0", "9", "8"});
  Headless again;
  FormCreate(again.game, 1);
  EXPECT_EQ(again.game.level, 1);
  EXPECT_EQ(again.game.levelType, 1);
  EXPECT_EQ(again.game.backgroundIndex, 1);
}

TEST_F(ProfilesTest, OnlyAnExactGuestAsksForANameAtStart) {
  for (const auto& [name, asks] : {std::pair{"GUEST", true}, std::pair{"guest", false}}) {
    writeLines("gamenames.dat", {"1", "1", "1", "1", name});
    Headless fresh;
    FormCreate(fresh.game, 1);
    EXPECT_EQ(fresh.game.nameEntryOpen, asks) << name;
    EXPECT_TRUE(fresh.game.menuOpen);
  }
}

TEST_F(ProfilesTest, OptionsBackButtonKeepsTheOptions) {
  g.optionsOpen = true;
  g.scaryOn = false;
  press(180, 440);
  options(g);
  EXPECT_TRUE(g.menuOpen);
  EXPECT_EQ(linesOf("gamenames.dat").at(1), "0");
}

// --- Name entry ---------------------------------------------------------------------------------

TEST_F(ProfilesTest, TypingAName) {
  type("ab1");
  EXPECT_EQ(typedCells(g), "") << "keys count only while name entry is open";
  g.nameEntryOpen = true;
  type("ab1");
  EXPECT_EQ(typedCells(g), "AB1");
  type("\b\b\b\b");
  EXPECT_EQ(typedCells(g), "");
  EXPECT_EQ(g.typedCount, 0);
  type("abcdefghijklmn");
  EXPECT_EQ(typedCells(g), "ABCDEFGHIJKL");
  EXPECT_EQ(beeps(), 0);
  // Space and characters a file name cannot hold are refused with a beep; other letters stay
  // as typed.
  type("\b\b\b");
  type(" /\\:\t");
  FormKeyPress(g, 0xE9);
  EXPECT_EQ(typedCells(g), "ABCDEFGHI\xC3\xA9");
  EXPECT_EQ(beeps(), 5);
  type("[-");
  EXPECT_EQ(typedCells(g), "ABCDEFGHI\xC3\xA9[-");
}

TEST_F(ProfilesTest, EnterAddsAPlayerInTheFirstFreeSlot) {
  g.playerList = {"", "ANN", "", "BOB", "", ""};
  g.nameEntryOpen = true;
  g.level = 8;
  g.score = 900;
  g.inventoryGrid[2][2].name = "Gem";
  FormKeyPress(g, 13);  // nothing typed: nothing happens
  EXPECT_TRUE(g.nameEntryOpen);
  EXPECT_EQ(g.level, 8);
  type("cy");
  FormKeyPress(g, 13);  // before any frame has joined the cells
  EXPECT_FALSE(g.nameEntryOpen);
  EXPECT_EQ(g.playerList[2], "CY");
  EXPECT_EQ(g.playerName, "CY");
  EXPECT_EQ(g.typedCount, 0);
  EXPECT_EQ(g.typedText, "");
  EXPECT_EQ(g.level, 1);
  EXPECT_EQ(g.score, 0);
  const auto save = linesOf("CY.dat");
  ASSERT_EQ(save.size(), 908u);
  EXPECT_EQ(save[0], "1");
  EXPECT_EQ(linesOf("gamenames.dat"),
            (std::vector<std::string>{"1", "1", "1", "1", "CY", "ANN", "CY", "BOB", "", ""}));
}

TEST_F(ProfilesTest, RefusedNamesChangeNothing) {
  g.playerName = "ANN";
  g.playerList = {"", "ANN", "BOB", "", "", ""};
  g.level = 6;
  savegamedata(g, "ANN");
  savegamenames(g);
  const std::string annSave = readAll("ANN.dat"), list = readAll("gamenames.dat");
  g.nameEntryOpen = true;
  int expectedBeeps = 0;
  // A listed name, in any case; a name of dots; the player list's own name.
  for (const std::string& name : std::vector<std::string>{"ann", "Bob", "..", "gamenames", "nul"}) {
    type(name);
    FormKeyPress(g, 13);
    EXPECT_EQ(beeps(), ++expectedBeeps) << name;
    EXPECT_TRUE(g.nameEntryOpen);
    EXPECT_EQ(g.playerName, "ANN");
    EXPECT_EQ(g.level, 6);
    type(std::string(name.size(), '\b'));
  }
  // With every slot taken there is no place for a new name.
  g.playerList = {"", "ANN", "BOB", "CY", "DI", "EVE"};
  type("FAY");
  FormKeyPress(g, 13);
  EXPECT_EQ(beeps(), ++expectedBeeps);
  EXPECT_EQ(g.playerName, "ANN");
  EXPECT_EQ(typedCells(g), "FAY") << "the name stays to be changed";
  EXPECT_EQ(readAll("ANN.dat"), annSave);
  EXPECT_EQ(readAll("gamenames.dat"), list);
  EXPECT_FALSE(fs::exists("FAY.dat"));
}

// --- The two screens ----------------------------------------------------------------------------

TEST_F(ProfilesTest, ChoosingAPlayerLoadsThemAndStartsTheirLevel) {
  g.createNameLabel = "[ Create New Name ]";
  g.playerList = {"", "ANN", "", "BOB", "", ""};
  g.playerName = "ANN";
  writeLines("BOB.dat", {"4", "4", "4", "4000"});
  g.menuOpen = false;
  g.playerSelectOpen = true;

  press(400, 350 + 2 * 12 + 6);  // the empty slot 2
  DXTimerTimer(g);
  EXPECT_TRUE(g.playerSelectOpen);
  EXPECT_EQ(g.mouseButton, kNoClick);
  EXPECT_EQ(g.playerName, "ANN");

  press(400, 350 + 3 * 12 + 6);  // slot 3 is BOB
  DXTimerTimer(g);
  EXPECT_FALSE(g.playerSelectOpen);
  EXPECT_TRUE(g.menuOpen);
  EXPECT_EQ(g.playerName, "BOB");
  EXPECT_EQ(g.level, 4);
  EXPECT_EQ(g.score, 4000);
  EXPECT_EQ(g.timeLeft, 500) << "a level was started";
  EXPECT_EQ(linesOf("gamenames.dat").at(4), "BOB");
  EXPECT_EQ(linesOf("BOB.dat").size(), 908u);

  g.menuOpen = false;
  g.playerSelectOpen = true;
  press(400, 355);  // line 0
  DXTimerTimer(g);
  EXPECT_FALSE(g.playerSelectOpen);
  EXPECT_TRUE(g.nameEntryOpen);
}

TEST_F(ProfilesTest, NameEntryButtons) {
  g.menuOpen = false;
  g.optionsOpen = true;
  g.nameEntryOpen = true;
  press(360, 470);  // OK with nothing typed
  DXTimerTimer(g);
  EXPECT_TRUE(g.nameEntryOpen);

  // Back goes to the player list, and the list's own back button at the same place does not
  // take the same press on to the menu.
  press(500, 470);
  DXTimerTimer(g);
  EXPECT_FALSE(g.nameEntryOpen);
  EXPECT_TRUE(g.playerSelectOpen);
  EXPECT_FALSE(g.menuOpen);

  g.playerSelectOpen = false;
  g.nameEntryOpen = true;
  type("dee");
  press(360, 470);
  DXTimerTimer(g);
  EXPECT_FALSE(g.nameEntryOpen);
  EXPECT_TRUE(g.menuOpen);
  EXPECT_FALSE(g.optionsOpen);
  EXPECT_EQ(g.playerName, "DEE");
  EXPECT_EQ(g.playerList[1], "DEE");
}

TEST_F(ProfilesTest, TypingCursorShowsInTenOfEveryTwentyOneFrames) {
  g.nameEntryOpen = true;
  int shown = 0;
  for (int frame = 0; frame < 21; ++frame) {
    shown += g.cursorBlink > 10;
    textinput(g);
  }
  EXPECT_EQ(shown, 10);
  EXPECT_EQ(g.cursorBlink, 0);
}

}  // namespace
}  // namespace mv::test
