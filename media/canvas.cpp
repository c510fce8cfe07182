// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/canvas.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <stdexcept>

#include "common/utf8.h"

extern "C" {
extern const unsigned char morvane_font_data[];
extern const uint64_t morvane_font_size;
}

namespace mv {
namespace {

constexpr int kFontPixels = 9;

TTF_Font* openFont(int pixels) {
  if (!TTF_WasInit() && TTF_Init() != 0)
    throw std::runtime_error(std::string("cannot start the font engine: ") + TTF_GetError());
  SDL_RWops* rw = SDL_RWFromConstMem(morvane_font_data, static_cast<int>(morvane_font_size));
  TTF_Font* font = TTF_OpenFontRW(rw, 1, pixels);
  if (!font)
    throw std::runtime_error(std::string("cannot open the canvas font: ") + TTF_GetError());
  return font;
}

}  // namespace

TextCanvas::TextCanvas(Screen& screen) : screen_(screen), font_(openFont(kFontPixels)) {}

TextCanvas::TextCanvas(Screen& screen, int pixels)
    : screen_(screen),
      font_(openFont(pixels)),
      lineHeight_(pixels == kFontPixels ? kLineHeight
                                        : TTF_FontHeight(static_cast<TTF_Font*>(font_))) {}

TextCanvas::~TextCanvas() {
  TTF_CloseFont(static_cast<TTF_Font*>(font_));
}

bool TextCanvas::canDraw(char32_t c) const {
  return c >= 32 && TTF_GlyphIsProvided32(static_cast<TTF_Font*>(font_), c) != 0;
}

char32_t TextCanvas::next(std::string_view text, size_t& at) {
  const size_t start = at;
  const char32_t c = nextCodePoint(text, at);
  return c == kNotUtf8 && at == start + 1 ? static_cast<unsigned char>(text[start]) : c;
}

// Each character is rendered once, white on clear, and kept as a coverage mask.
const TextCanvas::Glyph& TextCanvas::glyph(char32_t c) {
  Glyph& g = c < glyphs_.size() ? glyphs_[c] : moreGlyphs_[c];
  if (g.ready) return g;
  g.ready = true;
  auto* font = static_cast<TTF_Font*>(font_);
  int minx, maxx, miny, maxy;
  if (c < 32 || TTF_GlyphMetrics32(font, c, &minx, &maxx, &miny, &maxy, &g.advance) != 0) return g;
  SDL_Surface* raw = TTF_RenderUTF8_Blended(font, utf8(c).c_str(), SDL_Color{255, 255, 255, 255});
  if (!raw) return g;
  SDL_Surface* s = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(raw);
  if (!s) return g;
  g.w = s->w;
  g.h = std::min(s->h, lineHeight_);
  g.coverage.resize(static_cast<size_t>(g.w) * g.h);
  for (int y = 0; y < g.h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(s->pixels) +
                                                        static_cast<size_t>(y) * s->pitch);
    for (int x = 0; x < g.w; ++x) g.coverage[static_cast<size_t>(y) * g.w + x] = row[x] >> 24;
  }
  SDL_FreeSurface(s);
  return g;
}

int TextCanvas::textWidth(std::string_view text) {
  int w = 0;
  for (size_t at = 0; at < text.size();) w += glyph(next(text, at)).advance;
  return w;
}

void TextCanvas::textOut(int x, int y, std::string_view text) {
  if (solid_) screen_.fillRect(x, y, textWidth(text), lineHeight_, 0xFFFF);
  int pen = x;
  for (size_t at = 0; at < text.size();) {
    const Glyph& g = glyph(next(text, at));
    for (int gy = 0; gy < g.h; ++gy)
      for (int gx = 0; gx < g.w; ++gx)
        if (const uint8_t a = g.coverage[static_cast<size_t>(gy) * g.w + gx])
          screen_.blendPixel(pen + gx, y + gy, colour_, a);
    pen += g.advance;
  }
}

}  // namespace mv
