// SPDX-License-Identifier: GPL-3.0-or-later
// Boards written as text for tests: one character per cell, one string per row.
//   Y R G P S  the colours 1..5 (S is the skull), . an empty cell, A air.
// Results read back the same way, or as a mark grid ('*' where a property holds, '.' elsewhere).
#pragma once

#include <string>
#include <vector>

#include "board/tiles.h"
#include "state/game.h"

namespace mv::test {

using Rows = std::vector<std::string>;

inline int kindOf(char ch) {
  switch (ch) {
    case 'Y':
      return kYellow;
    case 'R':
      return kRed;
    case 'G':
      return kGreen;
    case 'P':
      return kPurple;
    case 'S':
      return kSkull;
    case '.':
      return kEmpty;
    case 'A':
      return kAir;
  }
  ADD_FAILURE() << "unknown cell '" << ch << "'";
  return 0;
}

inline char charOf(int kind) {
  static const std::string kChars = "?YRGPS?????.??A";
  return kind >= 0 && kind < static_cast<int>(kChars.size()) ? kChars[kind] : '?';
}

// Lays the first board out as drawn, every tile at rest, nothing bursting or moving.
inline void layOut(Game& g, const Rows& rows) {
  TileBoard& b = g.tiles.first;
  b = TileBoard{};
  g.boardRows = static_cast<int>(rows.size());
  g.boardCols = static_cast<int>(rows[0].size());
  g.tileGoal = g.boardCols * g.boardRows;
  for (int r = 1; r <= g.boardRows; ++r) {
    for (int c = 1; c <= g.boardCols; ++c) {
      b.tileKind[c][r] = kindOf(rows[r - 1][c - 1]);
      b.tileX[c][r] = TileBoard::restX(48, c);
      b.tileY[c][r] = TileBoard::restY(48, r);
    }
  }
}

inline std::string joined(const Rows& rows) {
  std::string s;
  for (const auto& row : rows) s += row + "\n";
  return s;
}

// The first board's kinds as text.
inline std::string kinds(const Game& g) {
  Rows rows;
  for (int r = 1; r <= g.boardRows; ++r) {
    std::string row;
    for (int c = 1; c <= g.boardCols; ++c) row += charOf(g.tiles.first.tileKind[c][r]);
    rows.push_back(row);
  }
  return joined(rows);
}

// '*' where `grid` holds `pred`, over the first board's size.
template <typename Pred>
std::string marks(const Game& g, const TileGrid& grid, Pred pred) {
  Rows rows;
  for (int r = 1; r <= g.boardRows; ++r) {
    std::string row;
    for (int c = 1; c <= g.boardCols; ++c) row += pred(grid[c][r]) ? '*' : '.';
    rows.push_back(row);
  }
  return joined(rows);
}

inline std::string marks(const Game& g, const TileGrid& grid) {
  return marks(g, grid, [](int v) { return v != 0; });
}

inline Rows transposed(const Rows& rows) {
  Rows t(rows[0].size(), std::string(rows.size(), ' '));
  for (size_t r = 0; r < rows.size(); ++r)
    for (size_t c = 0; c < rows[r].size(); ++c) t[c][r] = rows[r][c];
  return t;
}

// Puts the cursor in the middle of the first board's cell (c, r) and presses the left button.
inline void pressOn(Game& g, int c, int r) {
  g.mouseX = g.boardOffsetX + TileBoard::restX(48, c) + 12;
  g.mouseY = g.boardOffsetY + TileBoard::restY(48, r) + 12;
  g.mouseButton = kLeft;
}

}  // namespace mv::test
