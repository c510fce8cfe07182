// SPDX-License-Identifier: GPL-3.0-or-later
#include "board/spiders.h"

#include <cmath>

#include "board/jewels.h"
#include "state/game.h"

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

namespace {

constexpr int kDeathSound = 5;

// Pixels moved along x and y by one step of `direction` at speed s (y grows downwards).
void spiderStep(int direction, double s, double& dx, double& dy) {
  dx = dy = 0;
  switch (direction) {
    case 1:
      dx = s, dy = s;
      break;
    case 2:
      dx = s, dy = -s;
      break;
    case 3:
      dx = -s, dy = -s;
      break;
    case 4:
      dx = -s, dy = s;
      break;
    case 5:
      dx = -s;
      break;
    case 6:
      dx = s;
      break;
    case 7:
      dy = -s;
      break;
    case 8:
      dy = s;
      break;
    default:
      break;
  }
}

int rounded(double v) {
  return static_cast<int>(std::lround(v));
}

// Picks spider i to die at its next update outside the board, and may start the scare clip.
void pickvictim(Game& g, int i) {
  if (g.chance(10) && g.voiceCooldown == 0 && g.scareCount < 2) {
    g.scareCount += 1;
    g.scatterRequest = true;
    g.introTimer = 500;
    g.introStage = 200;
    g.soundLatch = false;
    g.animTick = 0;
    g.animFrame = 0;
    g.mouseButton = kNoClick;
  }
  if (g.hintStep == 3) {
    g.hintStep = 4;
    g.hintIndex = 4;
    g.hintFade = 0;
  } else if (g.hintStep == 2) {
    g.hintStep = 3;
    g.hintIndex = 3;
    g.hintFade = 0;
  }
  g.scareArmed = false;
  g.spiders[i].spiderMarked = i;
}

// A carried Grow Rune dropped on the spider grows it and changes what it finds.
void takegrowrune(Game& g, Spider& s) {
  const int r = rounded(s.spiderSize / 2) - 5;
  const bool over = g.mouseX > s.spiderX - r && g.mouseX < s.spiderX + r &&
                    g.mouseY > s.spiderY - r && g.mouseY < s.spiderY + r;
  // Only a rune actually carried counts: a save file may hold the name beside an empty hand.
  if (!over || g.heldImage <= 0 || g.heldName != "Grow Rune" || g.mouseButton != kLeft) return;
  if (s.spiderSymbol > 4) {
    g.sound.beep();  // already grown: the rune stays on the cursor
    return;
  }
  s.spiderSymbol += 4;
  s.spiderGrowTo += g.heldValue;
  g.heldName.clear();
  g.heldImage = 0;
  g.heldValue = 0;
}

// Where this spider crosses the spider whose turn it is (spiderCursor), that one finds jewels,
// alive or not, once its cooldown has run out; only while the level clock runs.
void jeweldrop(Game& g, int i, const Spider& s) {
  const int n = g.spiderCursor;
  Spider& finder = g.spiders[n];
  if (i == n || g.timeLeft <= 0) return;
  const int r = rounded(finder.spiderSize / 2);
  if (std::abs(s.spiderX - finder.spiderX) >= r || std::abs(s.spiderY - finder.spiderY) >= r ||
      finder.spiderGemCooldown != 0)
    return;
  spawngem(g, g.random(1, 2), rounded(finder.spiderX), rounded(finder.spiderY),
           finder.spiderSymbol);
  finder.spiderGemCooldown = 100;
}

void drawspider(Game& g, const Spider& s) {
  const int size = rounded(s.spiderSize);
  const int angle = rounded(s.spiderAngle);
  const Image& body = g.image(ImageList::spiderlist, s.spiderFrame);
  if (g.detailsOn)
    g.screen.drawRotatedSub(body, rounded(s.spiderX - 5), rounded(s.spiderY - 5), size, size, 0,
                            0.5, 0.5, angle, 255);
  const int x = rounded(s.spiderX), y = rounded(s.spiderY);
  g.screen.drawRotated(body, x, y, size, size, 0, 0.5, 0.5, angle);
  if (s.spiderSymbol > 0)
    g.screen.drawRotated(g.image(ImageList::symbollist, s.spiderSymbol), x, y, size, size, 0, 0.5,
                         0.5, angle);
}

}  // namespace

void updatespider(Game& g, int i) {
  Spider& s = g.spiders[i];

  // Wander.
  if (g.chance(20)) {
    s.spiderDirection = g.random(1, 8);
    s.spiderTurn = g.random(1, 2);
    s.spiderSpeed = g.random(0, 4) * 0.5;
  }

  // On level 3 spiders keep out of the round puzzle's top.
  if (g.level == 3 && s.spiderY < 170 && s.spiderX > 230 && s.spiderX < 480) s.spiderDirection = 8;

  // Keep off the board: down, or right from its upper half.
  bool steered = false;
  if (s.spiderY < g.boardBottom && s.spiderX < g.boardRight) {
    s.spiderDirection = s.spiderY < g.boardBottom / 2.0 ? 6 : 8;
    steered = true;
  }

  // Growth; a hatchling stands still until it reaches 25.
  if (s.spiderSize < s.spiderGrowTo) {
    s.spiderSize += 0.1;
    if (s.spiderSize < 25) {
      s.spiderSize += 0.2;
      s.spiderDirection = 0;
      s.spiderSpeed = 0;
    }
  }

  // Screen edges; the last that applies wins.
  if (s.spiderX < 20) s.spiderDirection = 6;
  if (s.spiderX > 780) s.spiderDirection = 5;
  if (s.spiderY < 20) s.spiderDirection = 8;
  if (s.spiderY > 580) s.spiderDirection = 7;

  // A marked spider dies once it is off the board.
  if (s.spiderMarked > 0 && !steered && s.spiderLife > 0) {
    g.levelHint = "-" + std::to_string(g.spiderDeathPenalty);
    g.levelHintX = rounded(s.spiderX);
    g.levelHintY = rounded(s.spiderY);
    g.score -= g.spiderDeathPenalty;
    g.spidersKilled += 1;
    s.spiderLife = 0;
    s.spiderMarked = 0;
    g.bloodRequestX = rounded(s.spiderX);
    g.bloodRequestY = rounded(s.spiderY);
    g.playIfOn(kDeathSound);
  }

  double dx, dy;
  spiderStep(s.spiderDirection, s.spiderSpeed, dx, dy);
  s.spiderX += dx;
  s.spiderY += dy;

  if (s.spiderAngle > 256) s.spiderAngle = 0;
  if (s.spiderAngle < 0) s.spiderAngle = 256;
  if (s.spiderTurn == 1) s.spiderAngle += 1;
  if (s.spiderTurn == 2) s.spiderAngle -= 1;

  // Walking poses 0..10 and back.
  s.spiderFrame += s.spiderAnimDir == 0 ? 1 : -1;
  if (s.spiderFrame > 9) s.spiderAnimDir = 1;
  if (s.spiderFrame < 1) s.spiderAnimDir = 0;

  if (s.spiderLife <= 0) return;

  g.liveSpiders += 1;
  g.colourCount[colourOfLetter(s.spiderColour)] += 1;
  // An arming picks the first live spider not already marked, so each arming costs one spider
  // even while an earlier victim is still walking off the board.
  if (g.scareArmed && s.spiderMarked == 0) pickvictim(g, i);
  takegrowrune(g, s);
  jeweldrop(g, i, s);
  drawspider(g, s);
}

}  // namespace mv
