// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/catalogue.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "media/screen.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

// A temporary assets folder with a manifest and small pictures made on the spot.
class TempAssets : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("morvane_cat_" + std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  void writePng(const std::string& name, int w, int h, uint32_t rgb) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 24, SDL_PIXELFORMAT_RGB24);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, rgb >> 16, (rgb >> 8) & 255, rgb & 255));
    ASSERT_EQ(IMG_SavePNG(s, (dir / name).c_str()), 0);
    SDL_FreeSurface(s);
  }
  void writeManifest(const std::string& text) { std::ofstream(dir / "manifest.txt") << text; }

  fs::path dir;
};

TEST_F(TempAssets, LoadsPicturesWithFlagsKeysAndEmptyItems) {
  writePng("a.png", 25, 25, 0xFF0000);
  writePng("w.png", 8, 4, 0xFFFFFF);
  writeManifest(
      "# list index file transparent key\n"
      "tilelist 1 a.png 1 0x000000\n"
      "tilelist 11 - 1 0x000000\n"
      "animationList 15 w.png 1 0xFFFFFF\n"
      "gemlist 13 a.png 0 0x000000\n");
  Catalogue cat;
  cat.readManifest(dir.string());
  cat.loadImages();
  const Image& tile = cat.image(ImageList::tilelist, 1);
  EXPECT_EQ(tile.w, 25);
  EXPECT_EQ(tile.at(3, 3), 0xF800);
  EXPECT_TRUE(tile.transparent);
  EXPECT_TRUE(cat.image(ImageList::tilelist, 11).empty());
  EXPECT_TRUE(cat.image(ImageList::tilelist, 99).empty());
  EXPECT_FALSE(cat.image(ImageList::gemlist, 13).transparent);

  // The white-keyed picture is all key colour: it draws nothing, unlike an opaque one.
  Screen s;
  s.drawImage(cat.image(ImageList::animationList, 15), 0, 0, 0);
  EXPECT_EQ(s.pixel(0, 0), 0);
  s.drawImage(cat.image(ImageList::gemlist, 13), 0, 0, 0);
  EXPECT_EQ(s.pixel(0, 0), 0xF800);
  s.drawImage(cat.image(ImageList::tilelist, 11), 0, 0, 0);  // no picture: nothing, no error
}

TEST_F(TempAssets, MissingFileStopsLoadingWithItsName) {
  writeManifest("helplist 3 help/03.png 1 0x000000\n");
  Catalogue cat;
  cat.readManifest(dir.string());
  try {
    cat.loadImages();
    FAIL() << "expected an error";
  } catch (const AssetError& e) {
    EXPECT_NE(std::string(e.what()).find("help/03.png"), std::string::npos) << e.what();
  }
}

TEST_F(TempAssets, BrokenManifestOrSoundIsReportedByName) {
  Catalogue none;
  EXPECT_THROW(none.readManifest((dir / "nowhere").string()), AssetError);

  writeManifest("gemlist 41 x.png 1 0x000000\n");  // gemlist has 41 items, 0..40
  Catalogue bad;
  EXPECT_THROW(bad.readManifest(dir.string()), AssetError);

  std::ofstream(dir / "s.wav") << "not a wave";
  writeManifest("DXWaveList 4 s.wav\n");
  Catalogue cat;
  cat.readManifest(dir.string());
  EXPECT_EQ(cat.soundFile(4), (dir / "s.wav").string());
  try {
    cat.checkSounds();
    FAIL() << "expected an error";
  } catch (const AssetError& e) {
    EXPECT_NE(std::string(e.what()).find("s.wav"), std::string::npos);
  }
}

// A damaged image line is reported like a missing file, naming the manifest and the line, and
// never escapes as anything but an AssetError.
TEST_F(TempAssets, BadFlagOrKeyColourNamesTheManifestLine) {
  for (const char* line :
       {"tilelist 1 a.png 1 0xZZ0000", "tilelist 1 a.png 1 ZZ", "tilelist 1 a.png 1 0x",
        "tilelist 1 a.png 1 0x1000000", "tilelist 1 a.png 1 0x00FF00junk",
        "tilelist 1 a.png yes 0x000000", "tilelist 1 a.png 1 0x000000 extra"}) {
    SCOPED_TRACE(line);
    writeManifest(std::string("# header\n\n") + line + "\n");
    Catalogue cat;
    try {
      cat.readManifest(dir.string());
      FAIL() << "expected an error";
    } catch (const AssetError& e) {
      const std::string what = e.what();
      EXPECT_NE(what.find((dir / "manifest.txt").string() + " line 3"), std::string::npos) << what;
    }
  }
  // Both fields may be left out, and the key may be written without 0x.
  writeManifest("tilelist 1 a.png\ntilelist 2 a.png 0\ntilelist 3 a.png 1 ffffff\n");
  writePng("a.png", 4, 4, 0x00FF00);
  Catalogue cat;
  cat.readManifest(dir.string());
  cat.loadImages();
  EXPECT_TRUE(cat.image(ImageList::tilelist, 1).transparent);
  EXPECT_EQ(cat.image(ImageList::tilelist, 1).keyColour, 0u);
  EXPECT_FALSE(cat.image(ImageList::tilelist, 2).transparent);
  EXPECT_EQ(cat.image(ImageList::tilelist, 3).keyColour, 0xFFFFFFu);
}

TEST_F(TempAssets, LoadsOnlyTheListsAskedFor) {
  writePng("a.png", 4, 4, 0x00FF00);
  writeManifest("welcome 0 a.png 0 0x000000\nlevellist 1 a.png 1 0x000000\n");
  Catalogue cat;
  cat.readManifest(dir.string());
  cat.loadImages([](ImageList l) { return l == ImageList::welcome; });
  EXPECT_FALSE(cat.image(ImageList::welcome, 0).empty());
  EXPECT_TRUE(cat.image(ImageList::levellist, 1).empty());
}

}  // namespace
}  // namespace mv
