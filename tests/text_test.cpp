// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "media/canvas.h"
#include "media/catalogue.h"
#include "media/text2.h"
#include "test_images.h"

namespace mv {
namespace {

using namespace test;

// A font whose glyph i is a single pixel of colour i, so a test can see where each one landed.
class Text2 : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 1; i <= 36; ++i) cat.setImage(ImageList::fontlist1, i, solid(1, 1, 100 + i));
  }
  // Glyph index drawn at (x, 50), 0 if none.
  int at(int x) const { return screen.pixel(x, 50) ? screen.pixel(x, 50) - 100 : 0; }
  int glyphsDrawn() const {
    int n = 0;
    for (int x = 0; x < kScreenW; ++x) n += at(x) != 0;
    return n;
  }
  Catalogue cat;
  Screen screen;
};

TEST_F(Text2, AdvancesByTheSpacingOfEachCharacterPlusTen) {
  text2(screen, cat, 100, 50, "WIM", 0);
  EXPECT_EQ(at(100), glyphIndex('W'));
  EXPECT_EQ(at(127), glyphIndex('I'));
  EXPECT_EQ(at(137), glyphIndex('M'));
  EXPECT_EQ(glyphsDrawn(), 3);
}

TEST_F(Text2, LowerCaseDrawsTheCapitals) {
  text2(screen, cat, 100, 50, "wim", 0);
  EXPECT_EQ(at(100), 23);
  EXPECT_EQ(at(127), 9);
  EXPECT_EQ(at(137), 13);
}

TEST_F(Text2, UnknownCharactersRepeatTheSpacingBeforeThem) {
  const int end = text2(screen, cat, 100, 50, "$5", 0);
  EXPECT_EQ(at(140), 31) << "the first character's spacing is 30";
  EXPECT_EQ(glyphsDrawn(), 1);
  EXPECT_EQ(end, 140 + 18);

  Screen fresh;
  screen = fresh;
  text2(screen, cat, 100, 50, "X:1", 0);
  EXPECT_EQ(at(100), 24);
  EXPECT_EQ(at(136), 27) << "the colon repeats the spacing 8 of X";
}

TEST_F(Text2, DigitsSpacesAndEmptyText) {
  text2(screen, cat, 0, 50, "", 0);
  EXPECT_EQ(glyphsDrawn(), 0);
  text2(screen, cat, 0, 50, "10 JL7", 0);
  EXPECT_EQ(at(0), 27);   // 1
  EXPECT_EQ(at(15), 36);  // 0
  EXPECT_EQ(at(61), 10);  // J after the space's 28
  EXPECT_EQ(at(73), 12);  // L
  EXPECT_EQ(at(86), 33);  // 7
}

TEST(Canvas, TextFitsInAnElevenPixelLineInTheFontColour) {
  Screen s;
  TextCanvas canvas(s);
  canvas.take().setFontColour(0x00FF00);
  canvas.textOut(10, 20, "HIL Hgjy|");
  canvas.release();
  int top = kScreenH, bottom = -1, green = 0;
  for (int y = 0; y < kScreenH; ++y)
    for (int x = 0; x < kScreenW; ++x)
      if (s.pixel(x, y)) {
        top = std::min(top, y), bottom = std::max(bottom, y);
        green += s.pixel(x, y) == kGreen;
      }
  EXPECT_GE(top, 20);
  EXPECT_LE(bottom, 30);
  EXPECT_GE(green, 8) << "fully covered pixels take the font colour";
  EXPECT_GT(canvas.textWidth("Hello"), 20);
  EXPECT_LT(canvas.textWidth("Hello"), 40);
}

TEST(Canvas, SolidBrushFillsTheLineBoxWhiteBehindText) {
  Screen s;
  TextCanvas canvas(s);
  canvas.setBrushSolid(true);
  canvas.setFontColour(0);
  canvas.textOut(100, 100, "Anna");
  const int w = canvas.textWidth("Anna");
  EXPECT_EQ(s.pixel(100, 100), kWhite);
  EXPECT_EQ(s.pixel(100 + w - 1, 110), kWhite);
  EXPECT_EQ(s.pixel(100 + w, 105), 0);
  EXPECT_EQ(s.pixel(100, 111), 0);
  int dark = 0;
  for (int y = 100; y < 111; ++y)
    for (int x = 100; x < 100 + w; ++x) dark += (s.pixel(x, y) >> 11) < 16;
  EXPECT_GT(dark, 10) << "black glyphs on the white box";

  canvas.setBrushSolid(false);
  s.fillScreen(0);
  canvas.textOut(100, 100, "Anna");
  EXPECT_EQ(s.pixel(100, 100), 0) << "clear brush draws only the glyphs";
}

}  // namespace
}  // namespace mv
