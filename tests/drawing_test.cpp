// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstring>

#include "media/screen.h"
#include "test_images.h"

namespace mv {
namespace {

using namespace test;

// Counts pixels of one colour on the whole screen.
int count(const Screen& s, uint16_t colour) {
  int n = 0;
  for (int i = 0; i < kScreenW * kScreenH; ++i) n += s.pixels()[i] == colour;
  return n;
}

TEST(DrawImage, ColourKeyFollowsTheTransparencyFlagAtEachDraw) {
  Screen s;
  s.fillScreen(0x0000FF);  // red in 0xBBGGRR
  Image img = fromRows({"G.", ".G"});
  s.drawImage(img, 10, 10, 0);
  EXPECT_EQ(s.pixel(10, 10), kGreen);
  EXPECT_EQ(s.pixel(11, 10), kRed) << "key pixel left undrawn";

  img.transparent = false;
  s.drawImage(img, 10, 10, 0);
  EXPECT_EQ(s.pixel(11, 10), 0) << "opaque draw copies key pixels too";

  s.fillScreen(0x0000FF);
  img.transparent = true;
  s.drawImage(img, 10, 10, 0);
  EXPECT_EQ(s.pixel(11, 10), kRed) << "switching the flag back makes the next draw transparent";
}

TEST(DrawImage, KeyIsComparedAfterConversionTo16Bits) {
  Screen s;
  s.fillScreen(0x0000FF);
  // A near-white key: 0xFCFCFC and 0xFFFFFF are the same colour in RGB565.
  Image img = solid(3, 1, kWhite, true, 0xFCFCFC);
  s.drawImage(img, 0, 0, 0);
  EXPECT_EQ(s.pixel(0, 0), kRed);
}

TEST(DrawImage, ClipsAtEveryEdgeAndOffScreen) {
  Screen s;
  const Image img = solid(10, 10, kGreen);
  s.drawImage(img, -5, -5, 0);
  s.drawImage(img, kScreenW - 5, kScreenH - 5, 0);
  s.drawImage(img, kScreenW - 3, -8, 0);
  s.drawImage(img, 2000, 100, 0);
  s.drawImage(img, -10, 100, 0);
  s.drawImage(img, 100, kScreenH, 0);
  EXPECT_EQ(count(s, kGreen), 25 + 25 + 3 * 2);
  EXPECT_EQ(s.pixel(0, 0), kGreen);
  EXPECT_EQ(s.pixel(kScreenW - 1, kScreenH - 1), kGreen);
  EXPECT_EQ(s.pixel(kScreenW - 1, 1), kGreen);
}

TEST(DrawImage, WrongPatternOrEmptyItemDrawsNothing) {
  Screen s;
  s.drawImage(solid(4, 4, kGreen), 0, 0, 1);
  s.drawImage(solid(4, 4, kGreen), 0, 0, -1);
  s.drawImage(Image{}, 0, 0, 0);
  s.drawRotated(Image{}, 10, 10, 20, 20, 0, 0.5, 0.5, 0);
  EXPECT_EQ(count(s, kGreen), 0);
}

TEST(DrawRotated, TopLeftAndCentrePivotsPlaceTheScaledPicture) {
  Screen s;
  const Image img = solid(4, 4, kGreen);
  s.drawRotated(img, 100, 100, 10, 6, 0, 0, 0, 0);
  EXPECT_EQ(count(s, kGreen), 60);
  EXPECT_EQ(s.pixel(100, 100), kGreen);
  EXPECT_EQ(s.pixel(109, 105), kGreen);
  EXPECT_NE(s.pixel(110, 105), kGreen);
  EXPECT_NE(s.pixel(99, 100), kGreen);

  Screen c;
  c.drawRotated(img, 100, 100, 10, 6, 0, 0.5, 0.5, 0);
  EXPECT_EQ(count(c, kGreen), 60);
  EXPECT_EQ(c.pixel(95, 97), kGreen);
  EXPECT_EQ(c.pixel(104, 102), kGreen);
  EXPECT_NE(c.pixel(94, 97), kGreen);
  EXPECT_NE(c.pixel(105, 102), kGreen);
}

TEST(DrawRotated, NearestPixelScalingKeepsEveryRowAndColumn) {
  Screen s;
  s.drawRotated(fromRows({"RG", "BW"}), 0, 0, 4, 4, 0, 0, 0, 0);
  EXPECT_EQ(s.pixel(0, 0), kRed);
  EXPECT_EQ(s.pixel(1, 1), kRed);
  EXPECT_EQ(s.pixel(2, 0), kGreen);
  EXPECT_EQ(s.pixel(3, 1), kGreen);
  EXPECT_EQ(s.pixel(0, 2), kBlue);
  EXPECT_EQ(s.pixel(3, 3), kWhite);
}

TEST(DrawRotated, AnglesAreTakenModulo256AndTurnClockwise) {
  const Image bar = fromRows({"RRGG", "RRGG"});
  Screen a, b;
  a.drawRotated(bar, 200, 200, 4, 2, 0, 0.5, 0.5, 0);
  b.drawRotated(bar, 200, 200, 4, 2, 0, 0.5, 0.5, 256);
  EXPECT_EQ(0, std::memcmp(a.pixels(), b.pixels(), kScreenW * kScreenH * 2));

  // A quarter turn clockwise stands the bar up: its left (red) end goes to the top.
  Screen q;
  q.drawRotated(bar, 200, 200, 4, 2, 0, 0.5, 0.5, 64);
  EXPECT_EQ(count(q, kRed) + count(q, kGreen), 8);
  for (int y = 198; y < 200; ++y)
    for (int x = 199; x < 201; ++x) EXPECT_EQ(q.pixel(x, y), kRed) << x << "," << y;
  for (int y = 200; y < 202; ++y)
    for (int x = 199; x < 201; ++x) EXPECT_EQ(q.pixel(x, y), kGreen) << x << "," << y;

  Screen h;  // half a turn: green on the left
  h.drawRotated(bar, 200, 200, 4, 2, 0, 0.5, 0.5, 128 + 256 * 3);
  EXPECT_EQ(h.pixel(198, 199), kGreen);
  EXPECT_EQ(h.pixel(201, 200), kRed);
}

TEST(DrawRotated, RotatedPictureKeepsItsAreaAndKey) {
  Screen s;
  s.drawRotated(solid(40, 40, kGreen), 400, 300, 40, 40, 0, 0.5, 0.5, 32);  // 45 degrees
  EXPECT_NEAR(count(s, kGreen), 1600, 60);
  Screen k;
  k.drawRotated(solid(40, 40, 0), 400, 300, 40, 40, 0, 0.5, 0.5, 32);
  EXPECT_EQ(count(k, 0), kScreenW * kScreenH) << "all-key picture draws nothing";
}

TEST(DrawRotated, ClipsOffScreenPictures) {
  Screen s;
  s.drawRotated(solid(10, 10, kGreen), 0, 0, 100, 100, 0, 0.5, 0.5, 10);
  s.drawRotated(solid(10, 10, kGreen), 799, 599, 100, 100, 0, 0.5, 0.5, 200);
  s.drawRotated(solid(10, 10, kGreen), -500, 3000, 100, 100, 0, 0.5, 0.5, 0);
  EXPECT_GT(count(s, kGreen), 2 * 2000);
  EXPECT_EQ(s.pixel(0, 0), kGreen);
  EXPECT_EQ(s.pixel(799, 599), kGreen);
}

TEST(DrawRotated, ZeroSizeOrNoAlphaDrawsNothing) {
  Screen s;
  const Image img = solid(10, 10, kGreen);
  s.drawRotated(img, 50, 50, 0, 10, 0, 0.5, 0.5, 0);
  s.drawRotated(img, 50, 50, 10, 0, 0, 0.5, 0.5, 0);
  s.drawRotatedAlpha(img, 50, 50, 10, 10, 0, 0.5, 0.5, 0, 0);
  s.drawRotatedAlpha(img, 50, 50, 10, 10, 0, 0.5, 0.5, 0, -5);
  s.drawRotatedSub(img, 50, 50, 10, 10, 0, 0.5, 0.5, 0, 0);
  EXPECT_EQ(count(s, 0), kScreenW * kScreenH);
}

TEST(DrawRotatedAlpha, Alpha255IsOpaqueAndLowerAlphaBlends) {
  const Image img = fromRows({"RG.", "BWR"});
  Screen a, b;
  a.fillScreen(0x808080);
  b.fillScreen(0x808080);
  a.drawRotated(img, 300, 300, 30, 20, 0, 0.5, 0.5, 20);
  b.drawRotatedAlpha(img, 300, 300, 30, 20, 0, 0.5, 0.5, 20, 255);
  EXPECT_EQ(0, std::memcmp(a.pixels(), b.pixels(), kScreenW * kScreenH * 2));

  Screen h;
  h.drawRotatedAlpha(solid(2, 2, kWhite), 10, 10, 2, 2, 0, 0, 0, 0, 128);
  const uint16_t p = h.pixel(10, 10);
  EXPECT_NEAR(p >> 11, 16, 1);
  EXPECT_NEAR((p >> 5) & 63, 32, 1);
  EXPECT_NEAR(p & 31, 16, 1);
  EXPECT_EQ(h.pixel(12, 10), 0);
}

TEST(DrawRotatedSub, SubtractsPerChannelAndFloorsAtZero) {
  Screen s;
  s.fillScreen(0x808080);  // grey: r 16, g 32, b 16
  // r 31, g 8, b 4 (0xF904)
  s.drawRotatedSub(solid(4, 4, 0xF904), 10, 10, 4, 4, 0, 0, 0, 0, 255);
  const uint16_t p = s.pixel(11, 11);
  EXPECT_EQ(p >> 11, 0) << "floors at 0, no wrap";
  EXPECT_EQ((p >> 5) & 63, 24);
  EXPECT_EQ(p & 31, 12);

  s.fillScreen(0x808080);
  s.drawRotatedSub(solid(4, 4, 0x0200), 10, 10, 4, 4, 0, 0, 0, 0, 128);  // g 16 at half strength
  EXPECT_EQ((s.pixel(11, 11) >> 5) & 63, 32 - 8);
}

}  // namespace
}  // namespace mv
