#include "server/names.h"

#include <algorithm>
#include <array>
#include <vector>

#include "media/utf8.h"

namespace scores {

namespace {

// The character at `text[at]`, moving `at` past it; false when the bytes there are not UTF-8.
bool nextCharacter(std::string_view text, size_t& at, char32_t& c) {
  const size_t from = at;
  c = mv::nextCodePoint(text, at);
  // A malformed sequence reads as U+FFFD and moves on by one byte; U+FFFD itself takes three.
  return !(c == mv::kNotUtf8 && at - from == 1);
}

bool isControl(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// Spaces and line or paragraph separators of any script.
bool isSeparator(char32_t c) {
  return c == 0x20 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
         c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

// Characters that draw nothing: soft hyphen, zero-width and direction marks, byte-order mark,
// and the two code points that are no characters at all.
bool isInvisible(char32_t c) {
  return c == 0xAD || (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF || (c >= 0xFFF9 && c <= 0xFFFB) ||
         (c & 0xFFFE) == 0xFFFE;
}

bool isFileNameSeparator(char32_t c) {
  return c < 0x80 &&
         std::string_view("/\\:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos;
}

bool isReservedName(std::string_view name) {
  static constexpr std::array<std::string_view, 23> kReserved = {
      "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3",     "COM4",
      "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2",     "LPT3",
      "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9", "GAMENAMES"};
  return std::find(kReserved.begin(), kReserved.end(), name) != kReserved.end();
}

}  // namespace

std::string validUtf8(std::string_view text) {
  std::string out;
  for (size_t at = 0; at < text.size();) out += mv::utf8(mv::nextCodePoint(text, at));
  return out;
}

std::string nameRefusal(std::string_view name) {
  std::vector<char32_t> chars;
  for (size_t at = 0; at < name.size();) {
    char32_t c = 0;
    if (!nextCharacter(name, at, c)) return "name is not valid UTF-8";
    chars.push_back(c);
  }
  if (chars.empty()) return "name is empty";
  if (chars.size() > static_cast<size_t>(kNameLength)) return "name is longer than 12 characters";
  for (const char32_t c : chars) {
    if (isControl(c)) return "name holds a control character";
    if (isSeparator(c)) return "name holds a space or separator";
    if (isInvisible(c)) return "name holds an invisible character";
    if (isFileNameSeparator(c)) return "name holds a character the game refuses";
    if (c >= 'a' && c <= 'z') return "name holds a lower-case letter the game would upper-case";
  }
  if (name.find_first_not_of('.') == std::string_view::npos) return "name is only dots";
  if (isReservedName(name)) return "name is reserved";
  return {};
}

}  // namespace scores
