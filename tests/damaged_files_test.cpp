// SPDX-License-Identifier: GPL-3.0-or-later
// Player files that are damaged, cut short or cannot be read: a read that fails is not the end of
// the file, and a file whose reading broke off is never written over.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/frame.h"
#include "core/intro.h"
#include "core/level.h"
#include "core/players.h"
#include "core/startup.h"
#include "game_fixture.h"
#include "items/cells.h"
#include "items/inventory.h"
#include "profiles/players.h"
#include "profiles/savefile.h"
#include "profiles/textfile.h"
#include "test_images.h"

namespace mv::test {
namespace {

namespace fs = std::filesystem;

void writeLines(const std::string& path, const std::vector<std::string>& lines) {
  std::ofstream f(path, std::ios::binary);
  for (const auto& l : lines) f << l << "\r\n";
}

// Hands out `text`, then fails the next read as a disk does on an I/O error.
class FailingBuffer : public std::streambuf {
 public:
  explicit FailingBuffer(std::string text) : text_(std::move(text)) {
    setg(text_.data(), text_.data(), text_.data() + text_.size());
  }

 protected:
  int_type underflow() override { throw std::ios_base::failure("read error"); }

 private:
  std::string text_;
};

TEST(LineReaderTest, AFailedReadStopsTheReadingButTheEndOfTheFileReadsZeroAndEmpty) {
  FailingBuffer buffer("7\r\n8\r\nname\r\n");
  std::istream in(&buffer);
  LineReader r(in);
  int a = -1, b = -1, c = 55, d = 66;
  std::string s = "?", t = "kept";
  EXPECT_TRUE(r.integer(a));
  EXPECT_TRUE(r.integer(b));
  EXPECT_TRUE(r.text(s));
  EXPECT_FALSE(r.broken());
  EXPECT_FALSE(r.integer(c)) << "the disk failed here";
  EXPECT_FALSE(r.text(t));
  EXPECT_FALSE(r.integer(d));
  EXPECT_TRUE(r.broken());
  EXPECT_EQ(a, 7);
  EXPECT_EQ(b, 8);
  EXPECT_EQ(s, "name");
  EXPECT_EQ(c, 55);
  EXPECT_EQ(t, "kept");
  EXPECT_EQ(d, 66);

  // A failure in the middle of a line loses that line too.
  FailingBuffer half("12\r\n3");
  std::istream in2(&half);
  LineReader r2(in2);
  int x = 0, y = 99;
  EXPECT_TRUE(r2.integer(x));
  EXPECT_FALSE(r2.integer(y));
  EXPECT_EQ(y, 99);

  // The true end of the file is no failure.
  std::istringstream shortFile("5\r\n");
  LineReader r3(shortFile);
  int e = 0, f = 44;
  std::string u = "gone";
  EXPECT_TRUE(r3.integer(e));
  EXPECT_TRUE(r3.integer(f));
  EXPECT_TRUE(r3.text(u));
  EXPECT_EQ(f, 0);
  EXPECT_EQ(u, "");
  EXPECT_FALSE(r3.broken());
}

class DamagedFilesTest : public GameTest {};

std::vector<std::string> fileLines(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string l; std::getline(f, l);) lines.push_back(l.substr(0, l.size() - 1));
  return lines;
}

// Line of a cell record's field: cell 0 is inventory column 1 row 1, field 0 its name.
int cellLine(int cell, int field) {
  return 12 + 7 * cell + field;
}
enum Field { kName = 0, kKind = 2, kValue = 3, kWidth = 4, kHeight = 5 };

TEST_F(DamagedFilesTest, EveryValueTheGameCanWriteComesBackAsItWas) {
  g.level = kMaxLevel;
  g.score = -kMaxScore;
  g.hintStep = 0;
  g.runePiecesGiven = 15;
  hold(g, Item{"Spider Charm", "[Right-Click to Open]", 24, 0, 1, 1});
  g.inventoryGrid[1][1] = InventoryCell{{"Top Rune", "t", 40, kMaxItemValue, 1, 1}};
  g.inventoryGrid[1][3] = InventoryCell{{"Gem", "g", 1, -5, 0, 0}};
  g.charmGrid[4][4] = InventoryCell{{"Morvane Rune Piece", "p", 40, 0, 0, 0}};
  ASSERT_TRUE(savegamedata(g, "ANNA"));
  Headless other;
  Game& back = other.game;
  ASSERT_TRUE(loadgamedata(back, "ANNA"));
  EXPECT_EQ(back.level, kMaxLevel);
  EXPECT_EQ(back.score, -kMaxScore);
  EXPECT_EQ(back.hintStep, 0);
  EXPECT_EQ(back.runePiecesGiven, 15);
  EXPECT_EQ(back.heldImage, 24);
  EXPECT_EQ(back.heldWidth + back.heldHeight, 2);
  EXPECT_EQ(back.inventoryGrid[1][1].kind, 40);
  EXPECT_EQ(back.inventoryGrid[1][1].value, kMaxItemValue);
  EXPECT_EQ(back.inventoryGrid[1][1].width + back.inventoryGrid[1][1].height, 2);
  EXPECT_EQ(back.inventoryGrid[1][3].value, -5);
  EXPECT_EQ(back.charmGrid[4][4].name, "Morvane Rune Piece");
}

TEST_F(DamagedFilesTest, ImpossibleValuesComeBackInRange) {
  g.inventoryGrid[1][1] = InventoryCell{{"Gem", "g", 3, 10, 0, 0}};
  g.inventoryGrid[1][2] = InventoryCell{{"Gem", "g", 3, 10, 0, 0}};
  g.inventoryGrid[1][3] = InventoryCell{{"Gem", "g", 3, 10, 0, 0}};
  g.charmGrid[1][1] = InventoryCell{{"Piece", "p", 30, 0, 0, 0}};
  hold(g, Item{"Gem", "g", 3, 10, 0, 0});
  ASSERT_TRUE(savegamedata(g, "ANNA"));
  std::vector<std::string> lines = fileLines("ANNA.dat");
  const auto put = [&](int line, long long v) { lines[line] = std::to_string(v); };
  put(0, INT_MAX);  // level
  put(3, INT_MAX);  // score
  put(4, 6);        // hint progress
  put(5, 16);       // rune pieces handed out
  put(6, 41);       // held kind: the pictures end at 40
  put(cellLine(0, kWidth), INT_MAX);
  put(cellLine(0, kHeight), INT_MIN);
  put(cellLine(0, kValue), INT_MAX);
  put(cellLine(1, kKind), -1);
  put(cellLine(2, kKind), INT_MAX);
  put(cellLine(112, kKind), 41);  // the first charm cell
  writeLines("ANNA.dat", lines);
  Headless other;
  Game& back = other.game;
  ASSERT_TRUE(loadgamedata(back, "ANNA"));
  EXPECT_EQ(back.level, kMaxLevel);
  EXPECT_EQ(back.score, kMaxScore);
  EXPECT_EQ(back.hintStep, 5) << "past the last hint: the hints are done";
  EXPECT_EQ(back.runePiecesGiven, 0);
  EXPECT_EQ(back.heldImage, 0);
  EXPECT_EQ(back.heldName, "") << "an item with no picture leaves the hand free";
  EXPECT_EQ(back.inventoryGrid[1][1].width, 1);
  EXPECT_EQ(back.inventoryGrid[1][1].height, 0);
  EXPECT_EQ(back.inventoryGrid[1][1].value, kMaxItemValue);
  EXPECT_EQ(back.inventoryGrid[1][2].name, "");
  EXPECT_EQ(back.inventoryGrid[1][3].name, "");
  EXPECT_EQ(back.charmGrid[1][1].name, "");
  put(4, -1);
  put(5, -1);
  writeLines("ANNA.dat", lines);
  ASSERT_TRUE(loadgamedata(back, "ANNA"));
  EXPECT_EQ(back.hintStep, 5);
  EXPECT_EQ(back.runePiecesGiven, 0);
}

TEST_F(DamagedFilesTest, StartUpTakesALevelKindBelowOneAsOne) {
  writeLines("gamenames.dat", {"1", "1", "1", "1", "ANNA", "ANNA", "", "", "", ""});
  for (const int kind : {0, -3, INT_MIN}) {
    writeLines("ANNA.dat", {"8", std::to_string(kind), "2"});
    Headless fresh;
    FormCreate(fresh.game, 1);
    EXPECT_EQ(fresh.game.levelType, 1) << kind;
    EXPECT_EQ(fresh.game.level, 8);
  }
}

TEST_F(DamagedFilesTest, TheLevelMapOfAnyLevelDrawsOnlyTheFootstepsOnTheScreen) {
  g.cat.setImage(ImageList::animationList, 19, solid(3, 3, kRed));
  for (const int level : {1, 141, 142, 143, kMaxLevel, INT_MAX}) {
    g.screen.fillScreen(0);
    g.level = level;
    g.introStage = 300;
    g.introTimer = 100;
    intro(g);
    const int last = 90 + 5 * (std::min(level, 142) - 1);
    EXPECT_EQ(g.screen.pixel(last + 1, 111), kRed) << level;
    if (last + 6 < kScreenW) {
      EXPECT_EQ(g.screen.pixel(last + 6, 111), 0) << level;
    }
  }
  g.level = 1;
  newlevel(g);
  g.level = 50'000'000;
  newlevel(g);
  EXPECT_EQ(g.spiderDeathPenalty, 200);
}

// --- Random damaged files, and frames played after loading them ---------------------------------

// A save file and a player list as the game writes them, damaged at random in the ways files
// get damaged: numbers at and beyond every bound, junk and overlong lines, lines lost or
// repeated, line ends changed, files cut short anywhere.
class FileDamager {
 public:
  explicit FileDamager(uint32_t seed) : rng_(seed) {}

  std::string damage(std::vector<std::string> lines, bool headFirst) {
    const int ops = pick(1, 6);
    for (int i = 0; i < ops && !lines.empty(); ++i) {
      const int n = static_cast<int>(lines.size());
      const int at = headFirst && pick(0, 1) ? pick(0, std::min(n, 12) - 1)
                     : pick(0, 1)            ? cellField(n)
                                             : pick(0, n - 1);
      switch (pick(0, 8)) {
        case 0:
        case 1:
          lines[at] = std::to_string(edge());
          break;
        case 2:
          lines[at] = std::to_string(static_cast<int32_t>(rng_()));
          break;
        case 3:
          lines[at] = junk(pick(0, 30));
          break;
        case 4:
          lines[at] = std::string(static_cast<size_t>(pick(1000, 20000)), 'W');
          break;
        case 5:
          lines.erase(lines.begin() + at);
          break;
        case 6:
          lines.insert(lines.begin() + at, lines[at]);
          break;
        case 7:
          lines.resize(at);
          break;
        default:
          lines[at] += junk(pick(1, 3));
          break;
      }
    }
    std::string bytes;
    const bool bareLineEnds = pick(0, 9) == 0;
    for (const auto& l : lines) bytes += l + (bareLineEnds ? "\n" : "\r\n");
    if (pick(0, 9) == 0) bytes.resize(static_cast<size_t>(pick(0, static_cast<int>(bytes.size()))));
    return bytes;
  }

  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  std::mt19937& rng() { return rng_; }

 private:
  // Most damage goes to the numbers of the cell records: kind, value, width and height.
  int cellField(int n) {
    const int line = cellLine(pick(0, 127), pick(kKind, kHeight));
    return std::min(line, n - 1);
  }
  int32_t edge() {
    static constexpr int32_t kEdges[] = {INT_MAX,
                                         INT_MIN,
                                         INT_MAX - 1,
                                         -1,
                                         0,
                                         1,
                                         2,
                                         4,
                                         5,
                                         6,
                                         7,
                                         15,
                                         16,
                                         40,
                                         41,
                                         142,
                                         143,
                                         -42'949'673,
                                         49'999'999,
                                         50'000'000,
                                         kMaxLevel,
                                         kMaxLevel + 1,
                                         kMaxScore + 1,
                                         -kMaxScore - 1};
    return kEdges[pick(0, static_cast<int>(std::size(kEdges)) - 1)];
  }
  std::string junk(int length) {
    std::string s;
    for (int i = 0; i < length; ++i) {
      char c = static_cast<char>(pick(0, 255));
      if (c == '\n') c = '?';
      s += c;
    }
    return s;
  }

  std::mt19937 rng_;
};

// The files every damaged copy starts from: a player some way into the game, with items in the
// inventory, the charm and the hand.
struct GoodFiles {
  std::vector<std::string> save, list;
};

GoodFiles goodFiles() {
  Headless h;
  Game& g = h.game;
  g.level = 9;
  g.levelType = 3;
  g.backgroundIndex = 4;
  g.score = 12345;
  g.hintStep = 5;
  g.runePiecesGiven = 3;
  placebook(g);
  g.inventoryGrid[1][1] = InventoryCell{{"Sun Diamond", "Flawless", 3, 150, 0, 0}};
  g.inventoryGrid[8][14] = InventoryCell{{"Grow Rune", "grow", 9, 0, 0, 0}};
  g.charmGrid[2][3] = InventoryCell{{"Morvane Rune Piece", "piece", 27, 0, 0, 0}};
  hold(g, Item{"Spider Charm", "[Right-Click to Open]", 24, 0, 1, 1});
  g.playerName = "ANNA";
  g.playerList[1] = "ANNA";
  g.playerList[2] = "BEN";
  savegamedata(g, "ANNA");
  savegamenames(g);
  GoodFiles f{fileLines("ANNA.dat"), fileLines("gamenames.dat")};
  std::filesystem::remove("ANNA.dat");
  std::filesystem::remove("gamenames.dat");
  return f;
}

// Plays `frames` frames: the screens as they come, then the level map, the inventory with the
// charm, the tally and play, with the mouse moving and clicking at random and keys typed.
void playFrames(Game& g, FileDamager& d, int frames) {
  for (int f = 0; f < frames; ++f) {
    const int phase = f * 5 / frames;
    if (f == frames * phase / 5) {
      g.menuOpen = phase == 0 && g.menuOpen;
      if (phase == 1) {
        g.introStage = 300;
        g.introTimer = 20;
      }
      g.inventoryOpen = g.charmOpen = phase == 2;
      if (phase == 3) {
        g.levelComplete = true;
        g.tallyDelay = 0;
        g.timeLeft = 3;
      }
    }
    g.mouseX = d.pick(0, kScreenW - 1);
    g.mouseY = d.pick(0, kScreenH - 1);
    g.mouseButton = d.pick(0, 3) == 0 ? d.pick(kLeft, kPanelRight) : kNoClick;
    if (d.pick(0, 9) == 0) FormKeyPress(g, d.pick(0, 1) ? d.pick(0, 127) : d.pick(0, 0x10FFFF));
    DXTimerTimer(g);
  }
}

template <class Grid>
void expectCellsInRange(const Grid& grid) {
  for (const auto& column : grid)
    for (const InventoryCell& c : column) {
      EXPECT_TRUE(c.width == 0 || c.width == 1);
      EXPECT_TRUE(c.height == 0 || c.height == 1);
      EXPECT_TRUE(c.kind >= 0 && c.kind <= 40);
    }
}

// Every value loaded is one the game can work with.
void expectInRange(const Game& g) {
  EXPECT_LE(g.level, kMaxLevel);
  EXPECT_LE(std::abs(g.score), kMaxScore);
  EXPECT_GE(g.hintStep, 0);
  EXPECT_LE(g.hintStep, 5);
  EXPECT_GE(g.runePiecesGiven, 0);
  EXPECT_LE(g.runePiecesGiven, 15);
  expectCellsInRange(g.inventoryGrid);
  expectCellsInRange(g.charmGrid);
}

// The good save moved to a level of any kind, so that every board and puzzle gets played.
std::vector<std::string> anyLevel(std::vector<std::string> save, FileDamager& d) {
  save[0] = std::to_string(d.pick(1, 200));
  save[1] = std::to_string(d.pick(1, 6));
  return save;
}

struct RunFigures {
  int files = 0, frames = 0;
  double seconds = 0;
};

// `files` rounds: damaged copies of both files, start-up from them and frames of play; every
// other round then chooses the player again from another damaged save.
RunFigures damagedFileRun(const Catalogue& pictures, const GoodFiles& good, uint32_t seed,
                          int files, int frames) {
  FileDamager d(seed);
  RunFigures fig;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < files; ++i) {
    Headless h;
    h.cat = pictures;
    Game& g = h.game;
    std::ofstream("ANNA.dat", std::ios::binary) << d.damage(anyLevel(good.save, d), true);
    std::ofstream("gamenames.dat", std::ios::binary) << d.damage(good.list, false);
    FormCreate(g, seed + i);
    expectInRange(g);
    EXPECT_GE(g.levelType, 1);
    EXPECT_LE(g.levelType, 6);
    playFrames(g, d, frames);
    fig.frames += frames;
    if (i % 2 == 1) {
      std::ofstream("ANNA.dat", std::ios::binary) << d.damage(anyLevel(good.save, d), true);
      loadgamedata(g, "ANNA");
      expectInRange(g);
      newlevel(g);
      playFrames(g, d, frames);
      fig.frames += frames;
    }
    ++fig.files;
    if (::testing::Test::HasFailure()) break;
  }
  fig.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return fig;
}

void printFigures(const RunFigures& f) {
  std::printf("damaged files: %d rounds, %d frames, %.1f s (%.2f ms a frame)\n", f.files, f.frames,
              f.seconds, f.frames ? 1000.0 * f.seconds / f.frames : 0.0);
}

int fromEnvironment(const char* name, int otherwise) {
  const char* v = std::getenv(name);
  return v ? std::atoi(v) : otherwise;
}

// The game's own pictures, so that every frame draws what it would on screen.
const Catalogue& gamePictures() {
  static const Catalogue pictures = [] {
    Catalogue c;
    c.readManifest(MORVANE_ASSETS_DIR);
    c.loadImages();
    return c;
  }();
  return pictures;
}

TEST_F(DamagedFilesTest, RandomDamagedFilesNeitherHangNorCrashTheGame) {
  printFigures(damagedFileRun(gamePictures(), goodFiles(), 2024, 24, 40));
}

// The long run, by hand: --gtest_also_run_disabled_tests --gtest_filter='*LongRandom*', sized
// by MORVANE_DAMAGED_ROUNDS and MORVANE_DAMAGED_FRAMES and seeded by MORVANE_DAMAGED_SEED.
TEST_F(DamagedFilesTest, DISABLED_LongRandomDamagedFilesRun) {
  const int rounds = fromEnvironment("MORVANE_DAMAGED_ROUNDS", 2000);
  const int frames = fromEnvironment("MORVANE_DAMAGED_FRAMES", 100);
  const auto seed = static_cast<uint32_t>(fromEnvironment("MORVANE_DAMAGED_SEED", 1));
  printFigures(damagedFileRun(gamePictures(), goodFiles(), seed, rounds, frames));
}

TEST_F(DamagedFilesTest, ASaveThatCannotBeReadKeepsTheGameAndIsNeverWrittenOver) {
  fs::create_directory("ANNA.dat");  // opens, but every read fails
  g.level = 12;
  g.score = 3400;
  g.inventoryGrid[2][2].name = "Sun Diamond";
  g.inventoryGrid[2][2].kind = 3;
  EXPECT_FALSE(loadgamedata(g, "ANNA"));
  EXPECT_EQ(g.level, 12);
  EXPECT_EQ(g.score, 3400);
  EXPECT_EQ(g.inventoryGrid[2][2].name, "Sun Diamond");
  // Had the failure been a passing one, the file would still hold the player's progress: the
  // next level start must not put the state in memory in its place.
  fs::remove("ANNA.dat");
  g.playerName = "ANNA";
  newlevel(g);
  EXPECT_FALSE(savegamedata(g, "ANNA"));
  EXPECT_FALSE(fs::exists("ANNA.dat"));
  // Other players save as before, and a later complete read lifts the block.
  EXPECT_TRUE(savegamedata(g, "BEN"));
  writeLines("ANNA.dat", {"4"});
  EXPECT_TRUE(loadgamedata(g, "ANNA"));
  EXPECT_TRUE(savegamedata(g, "ANNA"));
}

TEST_F(DamagedFilesTest, APlayerListThatCannotBeReadKeepsTheOptionsAndIsNeverWrittenOver) {
  fs::create_directory("gamenames.dat");
  g.playerName = "ANNA";
  FormCreate(g, 7);
  EXPECT_TRUE(g.soundOn && g.scaryOn && g.detailsOn && g.difficultyOn)
      << "a failed read is no missing option line";
  EXPECT_FALSE(savegamenames(g));
  fs::remove("gamenames.dat");
  EXPECT_FALSE(savegamenames(g));
  EXPECT_FALSE(fs::exists("gamenames.dat"));
}

}  // namespace
}  // namespace mv::test
