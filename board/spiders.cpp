#include "board/spiders.h"

#include "core/game.h"

namespace mv {

std::string colourLetter(int colour) {
  switch (colour) {
    case kYellow:
      return "Y";
    case kRed:
      return "R";
    case kGreen:
      return "G";
    case kPurple:
      return "P";
    default:
      return "";
  }
}

int colourOfLetter(const std::string& letter) {
  for (int c = kYellow; c <= kPurple; ++c)
    if (colourLetter(c) == letter) return c;
  return 0;
}

void spawnspider(Game& g, int x, int y, int colour, int count) {
  int placed = 0;
  for (int i = 1; i <= g.maxSpiders && i <= kSpiderSlots && placed < count; ++i) {
    Spider& s = g.spiders[i];
    if (s.spiderLife != 0) continue;
    // Direction, speed, turning, frame and mark keep what the slot held.
    s.spiderSize = 20;
    s.spiderGrowTo = g.random(35, 49);
    s.spiderX = x + 10;
    s.spiderY = y + 15;
    s.spiderAngle = g.random(0, 254);
    s.spiderGemCooldown = g.random(50, 204);
    s.spiderLife = 100;
    s.spiderColour = colourLetter(colour);
    s.spiderSymbol = colour;
    ++placed;
  }
}

}  // namespace mv
