// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/text2.h"

#include <cctype>

namespace mv {

int glyphIndex(char c) {
  const unsigned char u = static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(c)));
  if (u >= 'A' && u <= 'Z') return u - 'A' + 1;
  if (u >= '1' && u <= '9') return u - '1' + 27;
  if (u == '0') return 36;
  return 0;
}

int glyphSpacing(char c) {
  switch (std::toupper(static_cast<unsigned char>(c))) {
    case 'I':
      return 0;
    case 'J':
      return 2;
    case 'L':
      return 3;
    case '1':
      return 5;
    case 'E':
    case 'F':
    case '7':
      return 6;
    case 'M':
      return 12;
    case 'W':
      return 17;
    case ' ':
      return 18;
    default:
      return glyphIndex(c) > 0 ? 8 : -1;
  }
}

int text2(Screen& screen, const Catalogue& cat, int x, int y, std::string_view text, int /*mode*/) {
  constexpr int kGap = 10;
  int spacing = 30;
  for (char c : text) {
    if (const int s = glyphSpacing(c); s >= 0) spacing = s;
    if (const int g = glyphIndex(c)) screen.drawImage(cat.image(ImageList::fontlist1, g), x, y, 0);
    x += spacing + kGap;
  }
  return x;
}

}  // namespace mv
