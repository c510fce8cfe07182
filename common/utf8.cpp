// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/utf8.h"

namespace mv {
namespace {

bool continuation(unsigned char b) {
  return (b & 0xC0) == 0x80;
}

bool isCharacter(char32_t c) {
  return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

}  // namespace

char32_t nextCodePoint(std::string_view text, size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at++]);
  if (lead < 0x80) return lead;
  // Lead bytes C2..DF, E0..EF and F0..F4 start sequences of two, three and four bytes.
  const int extra = lead >= 0xC2 && lead <= 0xDF   ? 1
                    : lead >= 0xE0 && lead <= 0xEF ? 2
                    : lead >= 0xF0 && lead <= 0xF4 ? 3
                                                   : 0;
  if (extra == 0 || at + extra > text.size()) return kNotUtf8;
  char32_t c = lead & (0x3F >> extra);
  for (int i = 0; i < extra; ++i) {
    const auto b = static_cast<unsigned char>(text[at + i]);
    if (!continuation(b)) return kNotUtf8;
    c = (c << 6) | (b & 0x3F);
  }
  static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
  if (c < kLeast[extra] || !isCharacter(c)) return kNotUtf8;
  at += extra;
  return c;
}

namespace {

// The character at `at`, moving past it; false when its first byte starts no valid character
// (a text may well hold U+FFFD itself, which is no error).
bool nextValid(std::string_view text, size_t& at, char32_t& c) {
  const size_t start = at;
  c = nextCodePoint(text, at);
  return c != kNotUtf8 || at > start + 1;
}

}  // namespace

bool decodeUtf8(std::string_view text, std::u32string& out) {
  out.clear();
  for (size_t at = 0; at < text.size();) {
    char32_t c;
    if (!nextValid(text, at, c)) return false;
    out += c;
  }
  return true;
}

std::string validUtf8(std::string_view text) {
  std::string out;
  for (size_t at = 0; at < text.size();) {
    const size_t start = at;
    char32_t c;
    out += nextValid(text, at, c) ? text.substr(start, at - start) : utf8(kNotUtf8);
  }
  return out;
}

std::string utf8(char32_t c) {
  std::string s;
  if (!isCharacter(c)) return s;
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (c >> 18));
    s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
  return s;
}

}  // namespace mv
