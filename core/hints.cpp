// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/hints.h"

#include <cmath>

#include "state/game.h"

namespace mv {
namespace {

// Where each panel goes, by hintIndex; panels without a place stay where the last one was. The
// first panel points at a spider, so it sits above and left of spider 3.
struct PanelPlace {
  int hintIndex;
  int x, y;
};
constexpr PanelPlace kPanelPlaces[] = {{2, 300, 250}, {3, 300, 100}, {4, 100, 250},
                                       {5, 300, 100}, {7, 200, 200}, {11, 420, 65}};
constexpr int kSpiderPanel = 1;

void placePanel(Game& g) {
  if (g.hintIndex == kSpiderPanel) {
    g.hintX = static_cast<int>(std::nearbyint(g.spiders[3].spiderX - 220));
    g.hintY = static_cast<int>(std::nearbyint(g.spiders[3].spiderY - 140));
  }
  for (const PanelPlace& p : kPanelPlaces) {
    if (p.hintIndex != g.hintIndex) continue;
    g.hintX = p.x;
    g.hintY = p.y;
  }
}

}  // namespace

void showhelp(Game& g) {
  placePanel(g);
  const Image& panel = g.image(ImageList::helplist, g.hintIndex);
  if (g.hintFade <= 254) {
    g.hintFade += 10;
    g.screen.drawRotatedAlpha(panel, g.hintX, g.hintY, 344, 131, 0, 0, 0, 0, g.hintFade);
  } else {
    g.screen.drawImage(panel, g.hintX, g.hintY, 0);
  }
  // A panel still fading in ignores clicks; the closing click goes on to whatever lies below.
  if (g.hintFade > 254 && g.mouseButton != kNoClick) g.hintIndex = 0;
}

}  // namespace mv
