// SPDX-License-Identifier: GPL-3.0-or-later
// A player for end-to-end tests: it looks for a swap that lines up three or more tiles of a
// spider colour on a settled board and clicks it through the frame loop, one click a frame.
#pragma once

#include <algorithm>
#include <utility>
#include <vector>

#include "board/tiles.h"
#include "core/frame.h"
#include "core/input.h"
#include "state/game.h"

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
  // With `freshOnly` the player waits rather than burst cells that are already converted.
  TileBot(Game& g, std::vector<BoardPlace> boards, bool freshOnly = false)
      : g(g), boards(std::move(boards)), freshOnly(freshOnly) {}

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

  // What the swap's best run is worth; -1 when it lines up none.
  static int runGain(const BoardPlace& p, int c1, int r1, int c2, int r2) {
    const TileBoard& b = *p.board;
    int gain = -1;
    for (auto [c, r] : {std::pair{c1, r1}, std::pair{c2, r2}}) {
      const int k = swappedKind(b, c, r, c1, r1, c2, r2);
      if (k < kYellow || k > kSkull) continue;
      for (auto [dc, dr] : {std::pair{1, 0}, std::pair{0, 1}}) {
        auto same = [&](int s) {
          const int cc = c + s * dc, rr = r + s * dr;
          return cc >= 1 && rr >= 1 && cc <= p.cols && rr <= p.rows &&
                 swappedKind(b, cc, rr, c1, r1, c2, r2) == k;
        };
        int from = 0, to = 0;
        while (from > -2 && same(from - 1)) --from;
        while (to < 2 && same(to + 1)) ++to;
        if (to - from < 2) continue;
        // Fresh cells count most, then runs of four or more that hatch; skulls cost a spider.
        int fresh = 0;
        for (int s = from; s <= to; ++s) fresh += b.tileConverted[c + s * dc][r + s * dr] == 0;
        const int score = k == kSkull ? 0 : 1 + fresh * 4 + (to - from >= 3 ? 2 : 0);
        gain = std::max(gain, score);
      }
    }
    return gain;
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
    if (b.bonusTile > 0) {
      const int c = (b.bonusTile - 1) % p.cols + 1, r = (b.bonusTile - 1) / p.cols + 1;
      if (r <= p.rows && swappable(b, c, r)) {
        press(p, c, r);
        return true;
      }
    }
    // The swap that bursts the most cells not yet converted, or any run at all.
    int best = -1, bc = 0, br = 0, bc2 = 0, br2 = 0;
    for (int r = 1; r <= p.rows; ++r) {
      for (int c = 1; c <= p.cols; ++c) {
        for (auto [dc, dr] : {std::pair{1, 0}, std::pair{0, 1}}) {
          const int c2 = c + dc, r2 = r + dr;
          if (c2 > p.cols || r2 > p.rows || !swappable(b, c, r) || !swappable(b, c2, r2)) continue;
          const int gain = runGain(p, c, r, c2, r2);
          if (gain > best) best = gain, bc = c, br = r, bc2 = c2, br2 = r2;
        }
      }
    }
    if (best < (freshOnly ? 5 : 0)) return false;
    press(p, bc, br);
    pending = &p;
    secondCol = bc2;
    secondRow = br2;
    ++moves;
    return true;
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
  bool freshOnly;
};

}  // namespace mv::test
