// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/puzzles.h"

namespace mv {
namespace {

// L triominoes (1..4), straight triominoes (5, 6), dominoes (7, 8), T tetrominoes (9..12).
constexpr std::array<BoxShape, kBoxShapes + 1> kShapes = {{
    {0, {}, 0},
    {3, {{{0, 0}, {1, 0}, {0, 1}}}, 2},
    {3, {{{0, 0}, {0, 1}, {1, 1}}}, 3},
    {3, {{{0, 0}, {0, -1}, {-1, 0}}}, 4},
    {3, {{{0, 0}, {1, 0}, {1, 1}}}, 1},
    {3, {{{0, 0}, {1, 0}, {2, 0}}}, 6},
    {3, {{{0, 0}, {0, 1}, {0, 2}}}, 5},
    {2, {{{0, 0}, {0, 1}}}, 8},
    {2, {{{0, 0}, {1, 0}}}, 7},
    {4, {{{0, 0}, {0, 1}, {0, 2}, {1, 1}}}, 10},
    {4, {{{0, 0}, {1, 0}, {2, 0}, {1, -1}}}, 11},
    {4, {{{0, 0}, {1, 0}, {1, -1}, {1, 1}}}, 12},
    {4, {{{0, 0}, {1, 0}, {2, 0}, {1, 1}}}, 9},
}};

}  // namespace

const BoxShape& boxShape(int shape) {
  return kShapes[shape >= 1 && shape <= kBoxShapes ? shape : 0];
}

}  // namespace mv
