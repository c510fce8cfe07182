// SPDX-License-Identifier: GPL-3.0-or-later
// Scaled, rotated and blended drawing. Each destination row is walked only over the span whose
// sample falls inside the picture, stepping the source position in 16.16 fixed point, so no
// trigonometry or division runs per pixel.
#include <algorithm>
#include <cmath>

#include "media/screen.h"

namespace mv {
namespace {

constexpr uint32_t kMask565 = 0x07E0F81F;

// Columns i >= 0 for which lo <= f0 + i * df < hi, as [first, last]; empty when first > last.
void solveSpan(double f0, double df, double lo, double hi, int& first, int& last) {
  if (std::fabs(df) < 1e-12) {
    if (f0 < lo || f0 >= hi) first = 1, last = 0;
    return;
  }
  double a = (lo - f0) / df, b = (hi - f0) / df;
  if (a > b) std::swap(a, b);
  // One column of slack on each side; the caller trims the span exactly.
  first = std::max(first, static_cast<int>(std::floor(a)) - 1);
  last = std::min(last, static_cast<int>(std::ceil(b)) + 1);
}

struct CopyOp {
  void operator()(uint16_t& d, uint16_t s) const { d = s; }
};

struct AlphaOp {
  uint32_t a5;  // 0..32
  void operator()(uint16_t& d, uint16_t s) const {
    const uint32_t fg = (s | (static_cast<uint32_t>(s) << 16)) & kMask565;
    const uint32_t bg = (d | (static_cast<uint32_t>(d) << 16)) & kMask565;
    const uint32_t r = ((((fg - bg) * a5) >> 5) + bg) & kMask565;
    d = static_cast<uint16_t>(r | (r >> 16));
  }
};

struct SubtractOp {
  int alpha;  // 1..256, out of 256
  void operator()(uint16_t& d, uint16_t s) const {
    int sr = s >> 11, sg = (s >> 5) & 63, sb = s & 31;
    if (alpha < 256) sr = sr * alpha >> 8, sg = sg * alpha >> 8, sb = sb * alpha >> 8;
    const int r = std::max((d >> 11) - sr, 0);
    const int g = std::max(((d >> 5) & 63) - sg, 0);
    const int b = std::max((d & 31) - sb, 0);
    d = static_cast<uint16_t>((r << 11) | (g << 5) | b);
  }
};

struct Transform {
  int x0, x1, y0, y1;                       // destination bounding box, clipped, half-open
  double u00, v00, dudx, dvdx, dudy, dvdy;  // source position at (x0 + .5, y0 + .5) and steps
};

inline int32_t toFixed(double v) {
  return static_cast<int32_t>(std::floor(v * 65536.0 + 0.5));
}

// True when the 16.16 sample position lies inside the picture.
inline bool inside(int32_t u, int32_t v, const Image& img) {
  return u >= 0 && v >= 0 && (u >> 16) < img.w && (v >> 16) < img.h;
}

template <bool Keyed, typename Op>
void blendRow(uint16_t* row, const uint16_t* srow, int first, int last, int32_t u, int32_t du,
              uint16_t key, Op op) {
  for (int i = first; i <= last; ++i, u += du) {
    const uint16_t s = srow[u >> 16];
    if (Keyed && s == key) continue;
    op(row[i], s);
  }
}

// Unturned (or half-turned) pictures: every row samples the same columns, so the span is
// worked out once.
template <bool Keyed, typename Op>
void walkAxisAligned(uint16_t* screen, const Image& img, const Transform& t, Op op) {
  int first = 0, last = t.x1 - t.x0 - 1;
  solveSpan(t.u00, t.dudx, 0.0, img.w, first, last);
  const int32_t ub = toFixed(t.u00), du = toFixed(t.dudx);
  while (first <= last && !inside(ub + first * du, 0, img)) ++first;
  while (last >= first && !inside(ub + last * du, 0, img)) --last;
  if (first > last) return;
  const int32_t dv = toFixed(t.dvdy);
  int32_t v = toFixed(t.v00);
  for (int y = t.y0; y < t.y1; ++y, v += dv) {
    if (!inside(0, v, img)) continue;
    blendRow<Keyed>(screen + static_cast<size_t>(y) * kScreenW + t.x0,
                    img.pixels.data() + static_cast<size_t>(v >> 16) * img.w, first, last,
                    ub + first * du, du, img.key565(), op);
  }
}

template <bool Keyed, typename Op>
void walk(uint16_t* screen, const Image& img, const Transform& t, Op op) {
  if (t.dvdx == 0.0 && t.dudy == 0.0) return walkAxisAligned<Keyed>(screen, img, t, op);
  const uint16_t key = img.key565();
  const double su = img.w, sv = img.h;
  const int32_t du = toFixed(t.dudx), dv = toFixed(t.dvdx);
  for (int y = t.y0; y < t.y1; ++y) {
    const double u0 = t.u00 + (y - t.y0) * t.dudy, v0 = t.v00 + (y - t.y0) * t.dvdy;
    int first = 0, last = t.x1 - t.x0 - 1;
    solveSpan(u0, t.dudx, 0.0, su, first, last);
    solveSpan(v0, t.dvdx, 0.0, sv, first, last);
    // The estimate covers the whole span; trim it to the exact samples inside the picture so
    // the inner loop needs no bound checks.
    const int32_t ub = toFixed(u0), vb = toFixed(v0);
    while (first <= last && !inside(ub + first * du, vb + first * dv, img)) ++first;
    while (last >= first && !inside(ub + last * du, vb + last * dv, img)) --last;
    if (first > last) continue;
    int32_t u = ub + first * du, v = vb + first * dv;
    uint16_t* row = screen + static_cast<size_t>(y) * kScreenW + t.x0;
    const uint16_t* src = img.pixels.data();
    for (int i = first; i <= last; ++i, u += du, v += dv) {
      const uint16_t s = src[static_cast<size_t>(v >> 16) * img.w + (u >> 16)];
      if (Keyed && s == key) continue;
      op(row[i], s);
    }
  }
}

template <typename Op>
void walkKeyed(uint16_t* screen, const Image& img, const Transform& t, Op op) {
  if (img.transparent)
    walk<true>(screen, img, t, op);
  else
    walk<false>(screen, img, t, op);
}

}  // namespace

void Screen::drawRotated(const Image& img, int x, int y, int w, int h, int pattern, double cx,
                         double cy, int angle) {
  if (pattern != 0) return;
  drawTransformed(img, x, y, w, h, cx, cy, angle, Blend::Copy, 255);
}

void Screen::drawRotatedAlpha(const Image& img, int x, int y, int w, int h, int pattern, double cx,
                              double cy, int angle, int alpha) {
  if (pattern != 0 || alpha <= 0) return;
  drawTransformed(img, x, y, w, h, cx, cy, angle, alpha >= 255 ? Blend::Copy : Blend::Alpha, alpha);
}

void Screen::drawRotatedSub(const Image& img, int x, int y, int w, int h, int pattern, double cx,
                            double cy, int angle, int alpha) {
  if (pattern != 0 || alpha <= 0) return;
  drawTransformed(img, x, y, w, h, cx, cy, angle, Blend::Subtract, std::min(alpha, 255));
}

void Screen::drawTransformed(const Image& img, int x, int y, int w, int h, double cx, double cy,
                             int angle, Blend blend, int alpha) {
  if (img.empty() || w <= 0 || h <= 0) return;
  const double c = cos256(angle) / 65536.0, s = sin256(angle) / 65536.0;
  const double px = cx * w, py = cy * h;

  // Screen position of a picture-frame point: (X, Y) + R * (p - pivot), R turning clockwise.
  double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
  for (const auto& [lx, ly] :
       {std::pair{0.0, 0.0}, {1.0 * w, 0.0}, {0.0, 1.0 * h}, {1.0 * w, 1.0 * h}}) {
    const double ox = lx - px, oy = ly - py;
    const double sx = x + c * ox - s * oy, sy = y + s * ox + c * oy;
    minX = std::min(minX, sx), maxX = std::max(maxX, sx);
    minY = std::min(minY, sy), maxY = std::max(maxY, sy);
  }
  Transform t;
  t.x0 = std::max(static_cast<int>(std::floor(minX)), 0);
  t.x1 = std::min(static_cast<int>(std::ceil(maxX)), kScreenW);
  t.y0 = std::max(static_cast<int>(std::floor(minY)), 0);
  t.y1 = std::min(static_cast<int>(std::ceil(maxY)), kScreenH);
  if (t.x0 >= t.x1 || t.y0 >= t.y1) return;

  // Inverse map: picture point = R^-1 * (screen - (X, Y)) + pivot, then scaled to source pixels.
  const double kx = static_cast<double>(img.w) / w, ky = static_cast<double>(img.h) / h;
  const double dx = t.x0 + 0.5 - x, dy = t.y0 + 0.5 - y;
  t.u00 = (c * dx + s * dy + px) * kx;
  t.v00 = (-s * dx + c * dy + py) * ky;
  t.dudx = c * kx, t.dvdx = -s * ky;
  t.dudy = s * kx, t.dvdy = c * ky;

  uint16_t* dst = pixels();
  switch (blend) {
    case Blend::Copy:
      walkKeyed(dst, img, t, CopyOp{});
      break;
    case Blend::Alpha:
      walkKeyed(dst, img, t, AlphaOp{(static_cast<uint32_t>(alpha) + 4) >> 3});
      break;
    case Blend::Subtract:
      walkKeyed(dst, img, t, SubtractOp{alpha >= 255 ? 256 : alpha});
      break;
  }
}

}  // namespace mv
