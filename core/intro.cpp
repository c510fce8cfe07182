// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/intro.h"

#include <algorithm>
#include <string>

#include "board/smoke.h"
#include "items/charm.h"
#include "state/game.h"

namespace mv {
namespace {

constexpr int kScareClip = 200;
constexpr int kLevelMap = 300;

// Frames 1..10 and back, each held three frames, with 10 and 1 shown twice at the turns.
void animate(Game& g) {
  if (g.animTick <= 3) return;
  g.animTick = 1;
  if (g.animRising && ++g.animFrame > 10) g.animRising = false;
  if (!g.animRising && --g.animFrame < 1) {
    g.animFrame = 1;
    g.animRising = true;
  }
}

// The player's trail: one footstep per level played, the marker at its end. Only the footsteps
// that start on the screen are drawn, however high the level.
void levelMap(Game& g) {
  constexpr int kTrailX = 90, kStep = 5;
  Image& frame = g.image(ImageList::animationList, 18);
  frame.transparent = false;  // first as an opaque block behind the footsteps
  g.screen.drawImage(frame, 90, 107, 0);
  frame.transparent = true;
  const int steps = std::max(g.level, 0);
  const int shown = std::min(steps, (kScreenW - kTrailX + kStep - 1) / kStep);
  for (int i = 0; i < shown; ++i)
    g.screen.drawImage(g.image(ImageList::animationList, 19), kTrailX + kStep * i, 110, 0);
  const int x = kTrailX + kStep * std::min(steps, kScreenW);  // off the screen beyond `shown`
  g.screen.drawImage(frame, 90, 107, 0);
  g.screen.drawImage(g.image(ImageList::animationList, 20), x - 9, 74, 0);
  if (g.chance(3)) makesmoke(g, 450, 465);
  smoke(g);
  TextCanvas& c = g.canvas.take();
  c.setBrushSolid(false);
  c.setFontColour(0xFFFFFF);
  c.textOut(g.level > 99 ? x - 5 : x - 1, 81, std::to_string(g.level));
  c.release();
}

// Level 2 hands out the Spider Charm once, and its intro waits for a click.
void levelTwo(Game& g) {
  if (!g.charmGiven) givecharm(g);
  if (g.introStage == 2 && g.soundOn && !g.soundLatch) {
    g.sound.playSound(15);
    g.soundLatch = true;
    g.sound.setSoundLooped(0, true);
    g.sound.playSound(0);
  }
  g.screen.drawImage(g.image(ImageList::selectlist, 16), 513, 349, 0);
  for (int i = 0; i < 5; ++i)
    g.screen.drawImage(g.image(ImageList::selectlist, 17), 513 + g.random(0, 49),
                       329 + g.random(0, 49), 0);
}

}  // namespace

void intro(Game& g) {
  if (g.level == 1 && g.introStage == 1 && g.soundOn && !g.soundLatch) {
    g.sound.playSound(1);
    g.soundLatch = true;
    g.sound.setSoundLooped(0, true);
    g.sound.playSound(0);
  }
  ++g.animTick;
  g.animBase = 0;
  if (g.introStage == kScareClip) {
    g.animBase = 10;
    if (g.soundOn && !g.soundLatch) g.sound.playSound(8);
    g.soundLatch = true;
    if (g.animFrame > 2) g.introStage = 0;  // this frame is still drawn
  }
  animate(g);
  if (g.introStage == 3) {
    if (g.soundOn && !g.soundLatch) {
      g.sound.playSound(17);
      g.soundLatch = true;
    }
    g.animBase = 14;
    g.animFrame = 0;
  }
  if (g.introStage == kLevelMap) {
    g.animBase = 16;
    g.animFrame = 0;
  }
  g.screen.drawImage(g.image(ImageList::animationList, g.animBase + g.animFrame), 0, 75, 0);
  if (g.introStage == kLevelMap) levelMap(g);
  if (g.level == 2) levelTwo(g);

  if (g.mouseButton == kLeft) {
    g.sound.stopSound(0);
    g.sound.stopSound(1);
    g.sound.stopSound(15);
    g.mouseButton = kNoClick;
    g.introStage = 0;
  }
  if (g.introTimer > 0) --g.introTimer;
  if (g.introTimer == 0 && g.level != 2) {
    g.sound.stopSound(0);
    g.introStage = 0;
  }
}

namespace {

void burst(Game& g, int& timer, int firstImage) {
  if (timer <= 0) return;
  if (timer == 30) g.playIfOn(22);
  --timer;
  const int picture = g.random(firstImage, firstImage + 1);
  g.screen.drawImage(g.image(ImageList::animationList, picture), g.quakeX + g.random(0, 2),
                     g.quakeY + g.random(0, 2), 0);
  g.shakeX = g.random(0, 4);
  g.shakeY = g.random(0, 4);
  if (timer == 0) g.shakeX = g.shakeY = 0;
}

}  // namespace

void bursts(Game& g) {
  burst(g, g.quakeTimerA, 24);
  burst(g, g.quakeTimerB, 21);
}

void ghostflight(Game& g) {
  if (g.level > 3 && g.ghostCount < 2 && g.chance(1000) && g.voiceCooldown == 0 &&
      g.liveSpiders > 10) {
    ++g.ghostCount;
    g.ghostTimer = 30;
    g.scareArmed = true;
  }
  if (g.ghostTimer <= 0) return;
  if (g.voiceCooldown == 0) g.playIfOn(16);
  g.voiceCooldown = 200;
  --g.ghostTimer;
  g.screen.drawImage(g.image(ImageList::animationList, 15), g.random(0, 299), g.random(-200, 299),
                     0);
}

}  // namespace mv
