// SPDX-License-Identifier: GPL-3.0-or-later
// The game's folders: where the catalogue is found, and the user's data folder that becomes the
// working directory, seeded with the delivered player list, with a private fallback.
#include "app/folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "core/startup.h"
#include "game_fixture.h"

namespace mv::test {
namespace {

namespace fs = std::filesystem;

std::string contentOf(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

constexpr const char* kDeliveredList = "1\r\n1\r\n1\r\n1\r\nGUEST\r\n\r\n\r\n\r\n\r\n\r\n";

// Each test runs in an empty working directory of its own (see working_dir_test.cpp); the fake
// home lies inside it, so the start folder is its parent.
class FoldersTest : public ::testing::Test {
 protected:
  const fs::path start = fs::current_path();
  const std::string home = (start / "home").string();

  // Files of the start folder other than the fake home.
  int strayFiles() const {
    int n = 0;
    for (const auto& e : fs::directory_iterator(start)) n += e.path().filename() != "home";
    return n;
  }
};

TEST(DataFolderPlace, FollowsTheXdgRules) {
  EXPECT_EQ(userDataFolder("/data", "/home/ann"), fs::path("/data/morvane"));
  // Unset, empty and relative XDG_DATA_HOME are ignored.
  for (const char* xdg : {static_cast<const char*>(nullptr), "", "data", "./x"})
    EXPECT_EQ(userDataFolder(xdg, "/home/ann"), fs::path("/home/ann/.local/share/morvane"));
  // No usable home: no place.
  for (const char* home : {static_cast<const char*>(nullptr), "", "ann"})
    EXPECT_TRUE(userDataFolder(nullptr, home).empty());
}

TEST_F(FoldersTest, FirstStartMakesTheFolderAndSeedsTheDeliveredList) {
  const DataFolder d = enterDataFolder(nullptr, home.c_str());
  const fs::path expected = start / "home/.local/share/morvane";
  EXPECT_EQ(d.path, expected);
  EXPECT_TRUE(d.warning.empty()) << d.warning;
  EXPECT_EQ(fs::current_path(), expected);
  EXPECT_EQ(contentOf("gamenames.dat"), kDeliveredList);
  // Only the list is left there.
  EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1);

  // The delivered list starts the game with all options on, asking for a name.
  Headless h;
  FormCreate(h.game, 1);
  EXPECT_TRUE(h.game.nameEntryOpen);
  EXPECT_TRUE(h.game.soundOn && h.game.scaryOn && h.game.detailsOn && h.game.difficultyOn);
}

TEST_F(FoldersTest, AnExistingListIsKept) {
  const fs::path data = start / "xdg/morvane";
  fs::create_directories(data);
  std::ofstream(data / "gamenames.dat", std::ios::binary) << "0\r\n1\r\n1\r\n1\r\nANN\r\nANN\r\n";
  std::ofstream(data / "ANN.dat") << "7\r\n";
  const std::string xdg = (start / "xdg").string();
  for (int run = 0; run < 2; ++run) {
    const DataFolder d = enterDataFolder(xdg.c_str(), home.c_str());
    EXPECT_EQ(d.path, data);
    EXPECT_TRUE(d.warning.empty());
    EXPECT_EQ(contentOf(data / "gamenames.dat"), "0\r\n1\r\n1\r\n1\r\nANN\r\nANN\r\n");
    EXPECT_EQ(contentOf(data / "ANN.dat"), "7\r\n");
  }
  EXPECT_FALSE(fs::exists(start / "home")) << "XDG_DATA_HOME wins over HOME";
}

TEST_F(FoldersTest, AnUnusableFolderFallsBackToAPrivateTemporaryOne) {
  // A plain file where a parent folder should be: no one, root included, can make the folder.
  std::ofstream("blocker") << "x";
  const std::string blocked = (start / "blocker/data").string();
  struct Case {
    const char* xdg;
    const char* home;
    std::string named;
  };
  for (const Case& c : {Case{blocked.c_str(), home.c_str(), blocked + "/morvane"},
                        Case{nullptr, nullptr, "your data folder"}}) {
    fs::current_path(start);
    const DataFolder d = enterDataFolder(c.xdg, c.home);
    EXPECT_NE(d.warning.find(c.named), std::string::npos) << d.warning;
    EXPECT_NE(d.warning.find("will not be kept"), std::string::npos) << d.warning;
    EXPECT_EQ(fs::current_path(), d.path);
    EXPECT_NE(d.path, start);
    EXPECT_EQ(d.path.parent_path(), fs::temp_directory_path());
    EXPECT_EQ(fs::status(d.path).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(contentOf("gamenames.dat"), kDeliveredList);
    fs::current_path(start);
    fs::remove_all(d.path);
  }
  // Nothing landed in the start folder but the blocker itself.
  EXPECT_EQ(strayFiles(), 1);
}

TEST_F(FoldersTest, TheCatalogueIsFoundBesideTheProgramOrInTheTree) {
  const fs::path prefix = start / "usr";
  const fs::path tree = start / "tree/assets";
  // Both install layouts: Debian's games and the plain one.
  for (const auto& [bin, data] :
       {std::pair<fs::path, fs::path>{"games", "share/games/morvane"}, {"bin", "share/morvane"}}) {
    SCOPED_TRACE(data);
    const fs::path rel = fs::path("..") / data;
    fs::create_directories(prefix / bin);
    fs::create_directories(prefix / data);
    // Without a manifest beside the program, a build run in place reads the tree.
    EXPECT_EQ(catalogueFolder(nullptr, prefix / bin, rel, tree), tree);
    EXPECT_EQ(catalogueFolder(nullptr, "", rel, tree), tree);
    std::ofstream(prefix / data / "manifest.txt") << "";
    EXPECT_EQ(catalogueFolder(nullptr, prefix / bin / "", rel, tree), prefix / data);
    EXPECT_EQ(catalogueFolder("", prefix / bin, rel, tree), prefix / data);
    // MORVANE_ASSETS wins, made absolute since the working directory changes afterwards.
    EXPECT_EQ(catalogueFolder("/elsewhere", prefix / bin, rel, tree), fs::path("/elsewhere"));
    EXPECT_EQ(catalogueFolder("mine", prefix / bin, rel, tree), start / "mine");
    fs::remove_all(prefix);
  }
}

}  // namespace
}  // namespace mv::test
