// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/random.h"

namespace mv {

void Random::seed_(uint64_t s) {
  state_ = 0;
  inc_ = (0xDA3E39CB94B95BDBull << 1u) | 1u;
  next();
  state_ += s;
  next();
}

uint32_t Random::next() {
  const uint64_t old = state_;
  state_ = old * 6364136223846793005ull + inc_;
  const auto xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
  const auto rot = static_cast<uint32_t>(old >> 59u);
  return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
}

int Random::random(int a, int b) {
  if (b <= a) return a;
  const uint64_t range = static_cast<uint64_t>(static_cast<int64_t>(b) - a) + 1;
  // Multiply-shift maps the 32-bit draw onto the range without a division.
  return static_cast<int>(a + static_cast<int64_t>((static_cast<uint64_t>(next()) * range) >> 32));
}

}  // namespace mv
