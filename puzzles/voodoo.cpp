// SPDX-License-Identifier: GPL-3.0-or-later
// One frame of the voodoo box: it draws its whole screen, moves the pieces with the mouse, and
// runs the judging, the blinking, the closing flash and the award.
#include "puzzles/voodoo.h"

#include <string>

#include "board/effects.h"
#include "media/text2.h"
#include "puzzles/voodoo_box.h"
#include "state/game.h"

namespace mv {
namespace {

constexpr int kHelpPanel = 12;
constexpr int kFlashFrames = 75;

bool underCursor(const Game& g, const BoxCell& c) {
  return c.x <= g.mouseX && g.mouseX <= c.x + kBoxCell - 1 && c.y <= g.mouseY &&
         g.mouseY <= c.y + kBoxCell - 1;
}

bool pieceUnderCursor(const Game& g, const BoxPiece& p) {
  for (int n = 1; n <= 4; ++n)
    if (p.has(n) && underCursor(g, p.cell[n])) return true;
  return false;
}

void drawBox(Game& g) {
  VoodooBox& box = g.voodoo;
  g.screen.drawImage(g.image(ImageList::levellist, 4), box.boxShakeX, box.boxShakeY, 0);
  g.screen.drawImage(g.image(ImageList::puzzlelist, 3), kBoxX - 40 + box.boxShakeX,
                     kBoxY - 35 + box.boxShakeY, 0);
  box.boxShakeX = box.boxShakeY = 0;
  box.payoutRunning = false;
}

// The pieces in number order: the held one follows the cursor and is taken up again while the
// button stays down; a press takes the first piece under the cursor; a right click turns every
// piece under it. Pieces hide while a payout or the closing flash runs and blink afterwards.
void pieces(Game& g) {
  VoodooBox& box = g.voodoo;
  const bool show = box.blinkPhase < 2 && !box.payoutRunning && box.flashTimer == -1;
  for (int i = 1; i <= kBoxPieces; ++i) {
    BoxPiece& p = box.pieces[i];
    if (i == box.heldPiece) {
      placepiece(box, i, g.mouseX, g.mouseY);
      box.heldPiece = 0;
    }
    for (int n = 1; n <= 4 && show; ++n)
      if (p.has(n))
        g.screen.drawImage(g.image(ImageList::puzzlelist, p.cell[n].mark), p.cell[n].x, p.cell[n].y,
                           0);
    if (box.heldPiece == 0 && g.mouseEdge == "down" && pieceUnderCursor(g, p)) box.heldPiece = i;
    if (g.mouseButton == kRight && pieceUnderCursor(g, p)) p.shape = boxShape(p.shape).turnsInto;
  }
}

void scoreAndClock(Game& g) {
  text2(g.screen, g.cat, 10, 12, std::to_string(g.score), 0);
  text2(g.screen, g.cat, 372, 12, std::to_string(g.timeLeft), 0);
}

void menuStrip(Game& g) {
  if (g.mouseButton == kLeft && g.mouseX > 780 &&
      inside(g.mouseY, g.inventoryPanelY - 50, g.inventoryPanelY + 20))
    g.menuOpen = true;
}

// The flash grows from the middle of the box and fades out within 25 frames; the pieces stay
// hidden for all 75.
void closingFlash(Game& g) {
  VoodooBox& box = g.voodoo;
  if (box.flashTimer <= 0 || box.payoutRunning) return;
  box.flashTimer -= 1;
  box.flashSize += 20;
  if (box.flashAlpha > 0) box.flashAlpha -= 10;
  g.screen.drawRotatedAlpha(g.image(ImageList::puzzlelist, 4), kBoxX + 75, kBoxY + 75,
                            box.flashSize, box.flashSize, 0, 0.5, 0.5, 0, box.flashAlpha);
}

// The help panel shows until it has been clicked twice in this run of the game.
void helpPanel(Game& g) {
  if (g.boxHelpClicks >= 2) return;
  g.screen.drawImage(g.image(ImageList::helplist, kHelpPanel), 350, 50, 0);
  if (g.mouseButton == kLeft) g.boxHelpClicks += 1;
}

void inventoryRefused(Game& g) {
  if (g.mouseX <= 770 || !inside(g.mouseY, g.inventoryPanelY + 20, g.inventoryPanelY + 225)) return;
  g.canvas.textOut(g.mouseX - 200, g.mouseY - 12, "Cannot open inventory in BONUS ROUND");
  if (g.mouseButton == kLeft) g.sound.beep();
}

void judging(Game& g) {
  const VoodooBox& box = g.voodoo;
  if (box.coveredCells > 33 && g.mouseEdge != "down" && box.endCountdown == -1) judgebox(g);
}

void countdown(Game& g) {
  VoodooBox& box = g.voodoo;
  if (box.endCountdown <= 0 || box.payoutRunning) return;
  box.endCountdown -= 1;
  box.blinkPhase = (box.blinkPhase + 1) % 6;
}

// The flash is over: a full box earns 1000, one cell short 100, and the level goes on as a tile
// board with a fresh clock.
void award(Game& g) {
  VoodooBox& box = g.voodoo;
  if (box.flashTimer != 0) return;
  const int bonus = box.coveredCells == 36 ? 1000 : box.coveredCells == 35 ? 100 : 0;
  if (bonus > 0) {
    g.score += bonus;
    g.playIfOn(10);
  }
  box.flashTimer = -1;
  box.endCountdown = -1;
  g.boxPuzzleOn = false;
  g.timeLeft = 500;
}

void startFlash(Game& g) {
  VoodooBox& box = g.voodoo;
  if (box.endCountdown != 0) return;
  box.flashTimer = kFlashFrames;
  box.endCountdown = -2;
  box.flashSize = 10;
  box.flashAlpha = 255;
}

void rotateHint(Game& g) {
  if (g.voodoo.heldPiece > 0 && g.mouseButton != kRight)
    g.canvas.textOut(g.mouseX + 50, g.mouseY + 10, "RIGHT click to rotate piece if necessary");
}

}  // namespace

void puzzlegame(Game& g) {
  if (!g.screen.canDraw()) return;
  drawBox(g);
  scanbox(g);
  rebuildbox(g);
  pieces(g);
  scoreAndClock(g);
  menuStrip(g);
  closingFlash(g);
  helpPanel(g);
  TextCanvas& c = g.canvas.take();
  c.setBrushSolid(false);
  c.setFontColour(0xFFFFFF);
  inventoryRefused(g);
  judging(g);
  countdown(g);
  award(g);
  startFlash(g);
  rotateHint(g);
  drawfloattexts(g);
  c.release();
  g.mouseButton = kNoClick;
}

}  // namespace mv
