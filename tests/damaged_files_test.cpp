// Player files that are damaged, cut short or cannot be read: a read that fails is not the end of
// the file, and a file whose reading broke off is never written over.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "board/level.h"
#include "core/startup.h"
#include "game_fixture.h"
#include "profiles/players.h"
#include "profiles/savefile.h"
#include "profiles/textfile.h"

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
