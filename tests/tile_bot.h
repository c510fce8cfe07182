// A player for end-to-end tests: it looks for a swap that lines up three or more tiles of a
// spider colour on a settled board and clicks it through the frame loop, one click a frame.
#pragma once

#include <utility>
#include <vector>

#include "board/tiles.h"
#include "core/frame.h"
#include "core/game.h"
#include "core/input.h"

namespace mv::test {

// Where a board lies: its cells, its size and the screen place of cell (1, 1).
struct BoardPlace {
  TileBoard* board;
  int cols, rows;
  int originX, originY;
  bool followsOffset;
};

class TileBot {
 public:
  TileBot(Game& g, std::vector<BoardPlace> boards) : g(g), boards(std::move(boards)) {}

  // Plays one frame: the second click of a chosen swap, or the first click of a new one.
  void frame() {
    if (pending) {
      press(*pending, secondCol, secondRow);
      pending = nullptr;
    } else {
      for (const BoardPlace& p : boards) {
        if (choose(p)) break;
      }
    }
    DXTimerTimer(g);
    DXDrawMouseUp(g);
  }

  int moves = 0;

 private:
  bool settled(const TileBoard& b) const { return !b.busy && !b.wasBusy && b.selectState == 0; }

  // Kind of cell (c, r) once (c1, r1) and (c2, r2) have swapped.
  static int swappedKind(const TileBoard& b, int c, int r, int c1, int r1, int c2, int r2) {
    if (c == c1 && r == r1) return b.tileKind[c2][r2];
    if (c == c2 && r == r2) return b.tileKind[c1][r1];
    return b.tileKind[c][r];
  }

  // Whether the swap lines up three of a spider colour through one of the two cells.
  static bool makesRun(const BoardPlace& p, int c1, int r1, int c2, int r2) {
    const TileBoard& b = *p.board;
    for (auto [c, r] : {std::pair{c1, r1}, std::pair{c2, r2}}) {
      const int k = swappedKind(b, c, r, c1, r1, c2, r2);
      if (k < kYellow || k > kPurple) continue;
      for (auto [dc, dr] : {std::pair{1, 0}, std::pair{0, 1}}) {
        int run = 1;
        for (int s = 1; s < 3; ++s) {
          const int cc = c + s * dc, rr = r + s * dr;
          if (cc > p.cols || rr > p.rows || swappedKind(b, cc, rr, c1, r1, c2, r2) != k) break;
          ++run;
        }
        for (int s = 1; s < 3; ++s) {
          const int cc = c - s * dc, rr = r - s * dr;
          if (cc < 1 || rr < 1 || swappedKind(b, cc, rr, c1, r1, c2, r2) != k) break;
          ++run;
        }
        if (run >= 3) return true;
      }
    }
    return false;
  }

  static bool swappable(const TileBoard& b, int c, int r) {
    const int k = b.tileKind[c][r];
    return k >= kYellow && k <= kSkull && !b.tileMoving[c][r] && b.tileBlast[c][r] == 0;
  }

  // Starts a swap on board `p` if it is settled and has one; a stray selection is dropped first.
  bool choose(const BoardPlace& p) {
    TileBoard& b = *p.board;
    if (b.selectState == 1 && !b.busy && !b.wasBusy) {
      press(p, b.selectedCol, b.selectedRow);
      return true;
    }
    if (!settled(b)) return false;
    for (int r = p.rows; r >= 1; --r) {
      for (int c = 1; c <= p.cols; ++c) {
        for (auto [dc, dr] : {std::pair{1, 0}, std::pair{0, 1}}) {
          const int c2 = c + dc, r2 = r + dr;
          if (c2 > p.cols || r2 > p.rows || !swappable(b, c, r) || !swappable(b, c2, r2)) continue;
          if (!makesRun(p, c, r, c2, r2)) continue;
          press(p, c, r);
          pending = &p;
          secondCol = c2;
          secondRow = r2;
          ++moves;
          return true;
        }
      }
    }
    return false;
  }

  void press(const BoardPlace& p, int c, int r) {
    const int offX = p.followsOffset ? g.boardOffsetX : 0;
    const int offY = p.followsOffset ? g.boardOffsetY : 0;
    g.mouseX = offX + TileBoard::restX(p.originX, c) + 12;
    g.mouseY = offY + TileBoard::restY(p.originY, r) + 12;
    g.mouseButton = kLeft;
  }

  Game& g;
  std::vector<BoardPlace> boards;
  const BoardPlace* pending = nullptr;
  int secondCol = 0, secondRow = 0;
};

}  // namespace mv::test
