// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/hud.h"

#include <string>

#include "core/levels.h"
#include "media/text2.h"
#include "state/game.h"

namespace mv {

namespace {

// The praise voices of a long chain, in turn.
constexpr int kPraiseVoices[] = {2, 13, 14};
constexpr int kPraiseCooldown = 1000;

void write(Game& g, int x, int y, const std::string& text) {
  text2(g.screen, g.cat, x, y, text, 0);
}

}  // namespace

void hud(Game& g) {
  write(g, 10, 12, std::to_string(g.score));
  write(g, 372, 12, std::to_string(g.timeLeft));
  write(g, 463, 12, std::to_string(g.liveSpiders));
  if (levelKind(g).countsTilesLeft && !g.tilesNearTop)
    write(g, 10, 52, std::to_string(g.tileGoal - g.clearedCount) + " LEFT TO CONVERT");
}

void bonuscounter(Game& g) {
  if (g.bonusTimer <= 0) return;
  // The voices are part of the reward and play whatever the sound option says.
  if (g.chance(150) && g.voiceCooldown == 0) {
    g.sound.playSound(kPraiseVoices[g.voiceIndex]);
    g.voiceIndex = (g.voiceIndex + 1) % 3;
    g.voiceCooldown = kPraiseCooldown;
  }
  g.bonusTimer -= 1;
  g.score += 1;
  write(g, 372, 40, "BONUS X" + std::to_string(g.bonusTimer));
}

void celebration(Game& g) {
  if (g.megaBonusTimer <= 0) return;
  g.screen.fillScreen(0);
  g.screen.drawImage(g.image(ImageList::animationList, 10), 0, 75, 0);
  g.megaBonusTimer -= 1;
  g.sound.beep();
  auto shaken = [&](int x, int y, const std::string& text) {
    const int dx = g.random(0, 2);
    const int dy = g.random(0, 2);
    write(g, x + dx, y + dy, text);
  };
  shaken(10, 100, "YOU HAVE PUT THE MORVANE TOGETHER");
  const int bonus = g.megaBonusTimer * 3;
  shaken(10, 140, "MEGA BONUS   " + std::to_string(bonus));
  g.score += bonus;
  shaken(100, 200, "SCORE " + std::to_string(g.score));
}

}  // namespace mv
