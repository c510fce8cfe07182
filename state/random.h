// SPDX-License-Identifier: GPL-3.0-or-later
// The game's one random generator: PCG32, so a seed gives the same game on every platform and
// standard library.
#pragma once

#include <cstdint>

namespace mv {

class Random {
 public:
  explicit Random(uint64_t seed = 1) { seed_(seed); }
  void seed(uint64_t s) { seed_(s); }

  uint32_t next();
  // One uniform draw from a to b inclusive (a when b < a).
  int random(int a, int b);
  // One draw of 0..n-1 that comes out at 0: true with chance 1 in n.
  bool chance(int n) { return random(0, n - 1) == 0; }

 private:
  void seed_(uint64_t s);
  uint64_t state_ = 0;
  uint64_t inc_ = 0;
};

}  // namespace mv
