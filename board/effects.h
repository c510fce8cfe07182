// Short-lived marks on the play screen: the blood splats of dead spiders and the floating texts
// (score changes and level hints). Each pool is started by its spawn routine and aged and drawn
// once per play frame.
#pragma once

#include <array>
#include <string>

namespace mv {

struct Game;

struct BloodSplat {
  double bloodX = 0, bloodY = 0;  // centre
  double bloodAngle = 0;
  double bloodSize = 0, bloodGrowTo = 0;
  double bloodAlpha = 0;  // opacity; a slot below 50 may be reused
};

struct FloatText {
  std::string floatText;
  int floatTextX = 0, floatTextY = 0;
  int floatTextLife = 0;  // frames left; 0 = free
};

inline constexpr int kBloodSlots = 10;
inline constexpr int kFloatTextSlots = 8;

// Slots are numbered from 1; slot 0 is never used.
using BloodSlots = std::array<BloodSplat, kBloodSlots + 1>;
using FloatTextSlots = std::array<FloatText, kFloatTextSlots + 1>;

// Starts splat `slot` at the requested position (bloodRequestX, bloodRequestY), clearing the
// request.
void spawnblood(Game& g, int slot);
// Starts floating text `slot` with levelHint at (levelHintX, levelHintY), clearing levelHint.
void spawntext(Game& g, int slot);

// Play frame: hands a pending blood request to the first splat slot faded below 50, then grows,
// fades and draws every splat.
void drawblood(Game& g);
// Play frame: hands a pending levelHint to the first free text slot, then moves every live text
// up and to the left, ages it and writes it.
void drawfloattexts(Game& g);

}  // namespace mv
