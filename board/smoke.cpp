// SPDX-License-Identifier: GPL-3.0-or-later
#include "board/smoke.h"

#include "state/game.h"

namespace mv {

void makesmoke(Game& g, int x, int y) {
  for (SmokePuff& p : g.smokePuffs) {
    if (p.life != 0) continue;
    p.life = p.startLife = g.random(200, 299);
    p.opacity = 30;
    p.size = g.random(5, 14);
    p.x = x + g.random(0, 14);
    p.y = y;
    return;
  }
}

void smoke(Game& g) {
  const Image& puff = g.image(ImageList::animationList, 17);
  for (SmokePuff& p : g.smokePuffs) {
    if (p.life <= 0) continue;
    --p.life;
    if (p.opacity > 0 && p.life < 100) p.opacity -= 2;
    if (p.opacity < 155 && p.life > p.startLife - 100) p.opacity += 1;
    if (g.chance(5) && p.size < 100) ++p.size;
    if (g.chance(3)) p.x += g.random(0, 2);
    p.y -= g.random(0, 2);
    if (!g.menuOpen)
      g.screen.drawRotatedAlpha(puff, p.x, p.y, p.size, p.size, 0, 0.5, 0.5, 0, p.opacity);
  }
}

}  // namespace mv
