// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/book.h"

#include "state/game.h"

namespace mv {

void book(Game& g) {
  if (g.mouseButton == kLeft) g.bookPage = 0;
  if (g.soundOn && !g.soundLatch) {
    g.sound.playSound(4);
    g.soundLatch = true;
  }
  // On the closing frame this is page 0, the book's small picture.
  g.screen.drawImage(g.image(ImageList::booklist, g.bookPage), 0, 75, 0);
  TextCanvas& c = g.canvas.take();
  c.setBrushSolid(false);
  c.setFontColour(0xFFFFFF);
  c.textOut(g.mouseX, g.mouseY - 15, "[Click to Stop Reading Book]");
  c.release();
}

}  // namespace mv
