#include "core/hints.h"

#include <cmath>

#include "state/game.h"

namespace mv {
namespace {

// Where each panel goes. The first one points at a spider, so it sits above and left of spider 3;
// panels not listed stay where the last one was.
void placePanel(Game& g) {
  switch (g.hintIndex) {
    case 1:
      g.hintX = static_cast<int>(std::nearbyint(g.spiders[3].spiderX - 220));
      g.hintY = static_cast<int>(std::nearbyint(g.spiders[3].spiderY - 140));
      break;
    case 2:
      g.hintX = 300, g.hintY = 250;
      break;
    case 3:
      g.hintX = 300, g.hintY = 100;
      break;
    case 4:
      g.hintX = 100, g.hintY = 250;
      break;
    case 5:
      g.hintX = 300, g.hintY = 100;
      break;
    case 7:
      g.hintX = 200, g.hintY = 200;
      break;
    case 11:
      g.hintX = 420, g.hintY = 65;
      break;
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
