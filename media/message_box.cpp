// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/message_box.h"

#include <algorithm>

#include "media/wrap.h"

namespace mv {
namespace {

// The name entry panel that the box borrows its look from: 320 x 240, a frame of wood and a
// gold line 10 pixels wide, a background that darkens downwards, and its OK button.
constexpr int kPanelW = 320, kPanelH = 240;
constexpr BoxRect kPanelButton{78, 179, kBoxButtonW, kBoxButtonH};
constexpr int kPanelClearX = 140;  // a column of plain background beside the button

constexpr uint32_t kTextColour = 0xDCEEF5;  // the panel's cream lettering
constexpr const char* kEllipsis = "\xE2\x80\xA6";

struct Rgb {
  int r, g, b;
};
Rgb fromRgb565(uint16_t p) {
  return {(p >> 11) << 3, ((p >> 5) & 63) << 2, (p & 31) << 3};
}
uint16_t pack565(Rgb c) {
  return static_cast<uint16_t>(((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3));
}
uint16_t rgb(int r, int g, int b) {
  return pack565(Rgb{r, g, b});
}

bool usable(const Image& panel) {
  return panel.w == kPanelW && panel.h == kPanelH &&
         panel.pixels.size() == static_cast<size_t>(kPanelW) * kPanelH;
}

void putPixel(Screen& s, int x, int y, uint16_t c) {
  if (x >= 0 && y >= 0 && x < kScreenW && y < kScreenH) s.pixels()[y * kScreenW + x] = c;
}

// Covers `dst` with the picture's `src`, repeated as often as it takes, every other copy
// mirrored so that the copies meet without a seam; pixels of colour `skip` (when given) are left
// as they were.
int mirrored(int i, int n) {
  const int k = i % (2 * n);
  return k < n ? k : 2 * n - 1 - k;
}
void tile(Screen& s, const Image& img, BoxRect src, BoxRect dst, int skip = -1) {
  for (int y = 0; y < dst.h; ++y)
    for (int x = 0; x < dst.w; ++x) {
      const uint16_t c = img.at(src.x + mirrored(x, src.w), src.y + mirrored(y, src.h));
      if (c != skip) putPixel(s, dst.x + x, dst.y + y, c);
    }
}

void drawPanelFrame(Screen& s, const Image& panel, const BoxRect& b) {
  constexpr int f = kBoxFrame, inW = kPanelW - 2 * f, inH = kPanelH - 2 * f;
  const int right = b.x + b.w - f, bottom = b.y + b.h - f;
  // The picture's rounded corners stand on its own background (the colour of its corner pixel),
  // which is not drawn.
  const int l = 0, r = kPanelW - f, t = 0, u = kPanelH - f;
  tile(s, panel, {l, t, f, f}, {b.x, b.y, f, f}, panel.at(0, 0));
  tile(s, panel, {r, t, f, f}, {right, b.y, f, f}, panel.at(kPanelW - 1, 0));
  tile(s, panel, {l, u, f, f}, {b.x, bottom, f, f}, panel.at(0, kPanelH - 1));
  tile(s, panel, {r, u, f, f}, {right, bottom, f, f}, panel.at(kPanelW - 1, kPanelH - 1));
  tile(s, panel, {f, 0, inW, f}, {b.x + f, b.y, b.w - 2 * f, f});
  tile(s, panel, {f, kPanelH - f, inW, f}, {b.x + f, bottom, b.w - 2 * f, f});
  tile(s, panel, {0, f, f, inH}, {b.x, b.y + f, f, b.h - 2 * f});
  tile(s, panel, {kPanelW - f, f, f, inH}, {right, b.y + f, f, b.h - 2 * f});
}

// The same frame without the picture: a dark edge, wood and a gold line.
void drawPlainFrame(Screen& s, const BoxRect& b) {
  s.fillRect(b.x, b.y, b.w, b.h, rgb(23, 12, 11));
  s.fillRect(b.x + 1, b.y + 1, b.w - 2, b.h - 2, rgb(79, 53, 37));
  s.fillRect(b.x + 8, b.y + 8, b.w - 16, b.h - 16, rgb(160, 121, 46));
}

void drawBackground(Screen& s, const BoxRect& b, Rgb top, Rgb bottom) {
  const int x = b.x + kBoxFrame, w = b.w - 2 * kBoxFrame, h = b.h - 2 * kBoxFrame;
  for (int row = 0; row < h; ++row) {
    const int d = std::max(h - 1, 1);
    const Rgb c{top.r + (bottom.r - top.r) * row / d, top.g + (bottom.g - top.g) * row / d,
                top.b + (bottom.b - top.b) * row / d};
    s.fillRect(x, b.y + kBoxFrame + row, w, 1, pack565(c));
  }
}

void drawPlainButton(Screen& s, TextCanvas& canvas, const BoxRect& b) {
  s.fillRect(b.x + 2, b.y, b.w - 4, b.h, rgb(166, 125, 50));
  s.fillRect(b.x, b.y + 2, b.w, b.h - 4, rgb(166, 125, 50));
  s.fillRect(b.x + 2, b.y + 2, b.w - 4, b.h - 4, rgb(54, 29, 85));
  const char* ok = "OK";
  canvas.textOut(b.x + (b.w - canvas.textWidth(ok)) / 2, b.y + (b.h - canvas.lineHeight()) / 2, ok);
}

// Takes the last character off `s`.
void dropLastCharacter(std::string& s) {
  while (!s.empty() && (static_cast<unsigned char>(s.back()) & 0xC0) == 0x80) s.pop_back();
  if (!s.empty()) s.pop_back();
}

}  // namespace

MessageBoxLayout layoutMessageBox(std::string_view text, TextCanvas& canvas) {
  const auto measure = [&](std::string_view t) { return canvas.textWidth(t); };
  std::vector<std::string> lines = wrapText(text, kBoxTextMaxW, measure);
  const int lh = canvas.lineHeight();
  const int fixedH = 2 * kBoxFrame + kBoxPadTop + kBoxButtonGap + kBoxButtonH + kBoxButtonBottom;
  const size_t most =
      static_cast<size_t>(std::max((kScreenH - 2 * kBoxScreenMargin - fixedH) / lh, 1));
  if (lines.size() > most) {
    lines.resize(most);
    std::string& last = lines.back();
    while (!last.empty() && measure(last + kEllipsis) > kBoxTextMaxW) dropLastCharacter(last);
    last += kEllipsis;
  }

  int column = 0;
  for (const std::string& l : lines) column = std::max(column, measure(l));
  column = std::min(column, kBoxTextMaxW);
  MessageBoxLayout out;
  BoxRect& b = out.box;
  b.w = std::max(column, kBoxTextMinW) + 2 * (kBoxFrame + kBoxPadX);
  b.h = fixedH + static_cast<int>(lines.size()) * lh;
  b.x = (kScreenW - b.w) / 2;
  b.y = (kScreenH - b.h) / 2;
  const int textX = b.x + (b.w - column) / 2, textY = b.y + kBoxFrame + kBoxPadTop;
  for (size_t i = 0; i < lines.size(); ++i)
    out.lines.push_back({textX, textY + static_cast<int>(i) * lh, std::move(lines[i])});
  out.button = {b.x + (b.w - kBoxButtonW) / 2,
                b.y + b.h - kBoxFrame - kBoxButtonBottom - kBoxButtonH, kBoxButtonW, kBoxButtonH};
  return out;
}

void drawMessageBox(Screen& screen, TextCanvas& canvas, const MessageBoxLayout& layout,
                    const Image& panel, bool pressed) {
  const bool pictures = usable(panel);
  const BoxRect& b = layout.box;
  canvas.take().setFontColour(kTextColour);
  canvas.setBrushSolid(false);
  if (pictures) {
    drawPanelFrame(screen, panel, b);
    drawBackground(screen, b, fromRgb565(panel.at(kPanelW - 20, kBoxFrame)),
                   fromRgb565(panel.at(kPanelW / 2, kPanelH - kBoxFrame - 1)));
    // The button without the panel's background around its rounded corners.
    const BoxRect& at = layout.button;
    for (int y = 0; y < at.h; ++y) {
      const uint16_t clear = panel.at(kPanelClearX, kPanelButton.y + y);
      tile(screen, panel, {kPanelButton.x, kPanelButton.y + y, at.w, 1}, {at.x, at.y + y, at.w, 1},
           clear);
    }
  } else {
    drawPlainFrame(screen, b);
    drawBackground(screen, b, {35, 20, 59}, {14, 8, 27});
    drawPlainButton(screen, canvas, layout.button);
  }
  if (pressed) {
    const BoxRect& at = layout.button;
    for (int y = at.y; y < at.y + at.h; ++y)
      for (int x = at.x; x < at.x + at.w; ++x) screen.blendPixel(x, y, 0, 90);
  }
  for (const MessageBoxLayout::Line& l : layout.lines) canvas.textOut(l.x, l.y, l.text);
  canvas.release();
}

}  // namespace mv
