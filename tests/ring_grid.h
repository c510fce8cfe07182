// SPDX-License-Identifier: GPL-3.0-or-later
// The round and shooting puzzles' grid written as text: one string per ring (row), one character
// per position (column). Y R G P the colours, . an empty slot, space open space.
#pragma once

#include <string>
#include <vector>

#include "puzzles/ring.h"
#include "state/game.h"

namespace mv::test {

inline int ringColourOf(char ch) {
  switch (ch) {
    case 'Y':
      return kYellow;
    case 'R':
      return kRed;
    case 'G':
      return kGreen;
    case 'P':
      return kPurple;
    case '.':
      return kEmpty;
    case ' ':
      return kOpen;
  }
  ADD_FAILURE() << "unknown slot '" << ch << "'";
  return 0;
}

inline char ringCharOf(int colour) {
  static const std::string kChars = "?YRGPS?????.?? ";
  return colour >= 0 && colour < static_cast<int>(kChars.size()) ? kChars[colour] : '?';
}

// Puts the colours of `rows` into the puzzle's slots (ring or row 1 first), leaving every other
// field as the set-up left it.
inline void paint(RingPuzzle& p, const std::vector<std::string>& rows) {
  for (size_t j = 0; j < rows.size(); ++j)
    for (size_t k = 0; k < rows[j].size(); ++k)
      p.at(static_cast<int>(k) + 1, static_cast<int>(j) + 1).colour = ringColourOf(rows[j][k]);
}

// One line per ring (row) of `width` slots: the colour, or '*' where `pred` holds.
template <typename Pred>
std::string ringMarks(const RingPuzzle& p, int width, int height, Pred pred) {
  std::string s;
  for (int j = 1; j <= height; ++j) {
    for (int k = 1; k <= width; ++k) s += pred(p.at(k, j)) ? '*' : '.';
    s += "\n";
  }
  return s;
}

inline std::string ringColours(const RingPuzzle& p, int width, int height) {
  std::string s;
  for (int j = 1; j <= height; ++j) {
    for (int k = 1; k <= width; ++k) s += ringCharOf(p.at(k, j).colour);
    s += "\n";
  }
  return s;
}

inline std::string lines(const std::vector<std::string>& rows) {
  std::string s;
  for (const auto& r : rows) s += r + "\n";
  return s;
}

}  // namespace mv::test
