// SPDX-License-Identifier: GPL-3.0-or-later
#include "board/progress.h"

#include "state/game.h"

namespace mv {

void boardProgress(Game& g, int& converted, int goal) {
  if (converted >= goal) {
    g.levelComplete = true;
    g.tallyDelay = 50;
  }
  if (converted > goal - 25 && !g.nearGoalHinted) {
    g.nearGoalHinted = true;
    g.hintIndex = 8;
    g.hintFade = 0;
  }
  if (converted > 10 && g.soundOn && g.voiceCooldown == 0 && !g.tilesVoicePlayed) {
    g.sound.playSound(18);
    g.tilesVoicePlayed = true;
    g.voiceCooldown = 200;
  }
  converted = 0;
}

void cascadeBonus(Game& g, int frames) {
  if (frames <= 100) return;
  const int tenths = frames / 10, rest = frames % 10;
  g.bonusTimer = tenths + ((rest > 5 || (rest == 5 && tenths % 2 == 1)) ? 1 : 0);
}

void pulse(int& level, bool& down) {
  level += down ? -10 : 10;
  if (level > 255) down = true;
  if (level < 55) down = false;
}

}  // namespace mv
