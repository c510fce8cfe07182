// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/names.h"

#include <algorithm>
#include <array>
#include <string>

#include "common/utf8.h"

namespace mv {
namespace {

bool inRange(char32_t c, char32_t low, char32_t high) {
  return c >= low && c <= high;
}

bool control(char32_t c) {
  return c < 0x20 || inRange(c, 0x7F, 0x9F);
}

bool fileNameSeparator(char32_t c) {
  static constexpr std::string_view kRefused = "/\\:*?\"<>|";
  return c < 0x80 && kRefused.find(static_cast<char>(c)) != kRefused.npos;
}

// Characters that draw nothing or turn the text around, which would let two names look alike.
bool invisibleFormat(char32_t c) {
  return c == 0xAD || inRange(c, 0x600, 0x605) || c == 0x61C || c == 0x6DD || c == 0x70F ||
         c == 0x180E || inRange(c, 0x200B, 0x200F) || inRange(c, 0x2028, 0x202E) ||
         inRange(c, 0x2060, 0x206F) || c == 0xFEFF || inRange(c, 0xFFF9, 0xFFFB) ||
         inRange(c, 0xE0000, 0xE007F);
}

bool noCharacter(char32_t c) {
  return c > 0x10FFFF || inRange(c, 0xD800, 0xDFFF) || inRange(c, 0xFDD0, 0xFDEF) ||
         (c & 0xFFFE) == 0xFFFE || c == kNotUtf8;
}

// Why character `c` can't be part of a name that name entry produced; empty when it can.
const char* characterRefusal(char32_t c) {
  if (control(c)) return "name holds a control character";
  if (nameSpace(c)) return "name holds a space or separator";
  if (fileNameSeparator(c)) return "name holds a character the game refuses";
  if (!safeNameCharacter(c)) return "name holds an invisible character";
  if (c >= 'a' && c <= 'z') return "name holds a lower-case letter the game would upper-case";
  return "";
}

}  // namespace

bool safeNameCharacter(char32_t c) {
  return !control(c) && !fileNameSeparator(c) && !invisibleFormat(c) && !noCharacter(c);
}

bool nameSpace(char32_t c) {
  return c == ' ' || c == 0xA0 || c == 0x1680 || inRange(c, 0x2000, 0x200A) || c == 0x2028 ||
         c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

char32_t upperCased(char32_t c) {
  return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}

bool safePlayerName(std::string_view name) {
  for (size_t at = 0; at < name.size();)
    if (!safeNameCharacter(nextCodePoint(name, at))) return false;
  if (!name.empty() && name.find_first_not_of('.') == std::string_view::npos) return false;
  std::string upper;
  for (const char c : name) upper += static_cast<char>(upperCased(static_cast<unsigned char>(c)));
  // Device names some file systems reserve, and the player list, which a file system that
  // ignores case would otherwise overwrite.
  static constexpr std::array<std::string_view, 23> kTaken = {
      "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3",     "COM4",
      "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2",     "LPT3",
      "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9", "GAMENAMES"};
  return std::find(kTaken.begin(), kTaken.end(), upper) == kTaken.end();
}

std::string nameRefusal(std::string_view name) {
  std::u32string chars;
  if (!decodeUtf8(name, chars)) return "name is not valid UTF-8";
  if (chars.empty()) return "name is empty";
  if (chars.size() > static_cast<size_t>(kNameLength)) return "name is longer than 12 characters";
  for (const char32_t c : chars)
    if (const std::string why = characterRefusal(c); !why.empty()) return why;
  if (name.find_first_not_of('.') == std::string_view::npos) return "name is only dots";
  if (!safePlayerName(name)) return "name is reserved";
  return {};
}

}  // namespace mv
