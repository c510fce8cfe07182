// SPDX-License-Identifier: GPL-3.0-or-later
#include "board/effects.h"

#include <cmath>

#include "state/game.h"

namespace mv {

namespace {
int rounded(double v) {
  return static_cast<int>(std::lround(v));
}
}  // namespace

void spawnblood(Game& g, int slot) {
  BloodSplat& b = g.blood[slot];
  b.bloodX = g.bloodRequestX;
  b.bloodY = g.bloodRequestY;
  b.bloodAngle = g.random(0, 254);
  b.bloodAlpha = 255;
  b.bloodSize = g.random(10, 34);
  b.bloodGrowTo = b.bloodSize + 5 + g.random(0, 24);
  g.bloodRequestX = 0;
}

void spawntext(Game& g, int slot) {
  FloatText& t = g.floatTexts[slot];
  t.floatText = g.levelHint;
  g.levelHint.clear();
  t.floatTextX = g.levelHintX;
  t.floatTextY = g.levelHintY;
  t.floatTextLife = 100;
}

void drawblood(Game& g) {
  const Image& splat = g.image(ImageList::symbollist, 0);
  for (int i = 1; i <= kBloodSlots; ++i) {
    BloodSplat& b = g.blood[i];
    if (g.bloodRequestX > 0 && b.bloodAlpha < 50) spawnblood(g, i);
    if (b.bloodSize < b.bloodGrowTo) b.bloodSize += 2;
    if (b.bloodAlpha > 0) b.bloodAlpha -= 0.5;
    if (b.bloodAlpha > 0) {
      const int size = rounded(b.bloodSize);
      g.screen.drawRotatedAlpha(splat, rounded(b.bloodX - 5), rounded(b.bloodY - 5), size, size, 0,
                                0.5, 0.5, rounded(b.bloodAngle), rounded(b.bloodAlpha));
    }
  }
}

void drawfloattexts(Game& g) {
  g.canvas.setBrushSolid(false);
  g.canvas.setFontColour(0xFFFFFF);
  for (int i = 1; i <= kFloatTextSlots; ++i) {
    FloatText& t = g.floatTexts[i];
    if (t.floatTextLife == 0 && !g.levelHint.empty()) spawntext(g, i);
    if (t.floatTextLife > 0) {
      t.floatTextLife -= 1;
      t.floatTextX -= 2;
      t.floatTextY -= 1;
      g.canvas.textOut(t.floatTextX, t.floatTextY, t.floatText);
    }
  }
}

}  // namespace mv
