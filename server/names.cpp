#include "server/names.h"

#include <algorithm>
#include <array>

namespace scores {

namespace {

// Length of the UTF-8 sequence at `s[i]` and its code point; 0 when it is malformed.
size_t decodeOne(std::string_view s, size_t i, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  size_t len = 0;
  char32_t min = 0;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
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

bool decodeUtf8(std::string_view text, std::vector<char32_t>& out) {
  out.clear();
  for (size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    const size_t len = decodeOne(text, i, cp);
    if (len == 0) return false;
    out.push_back(cp);
    i += len;
  }
  return true;
}

std::string validUtf8(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    const size_t len = decodeOne(text, i, cp);
    if (len == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else {
      out.append(text.substr(i, len));
      i += len;
    }
  }
  return out;
}

std::string nameRefusal(std::string_view name) {
  std::vector<char32_t> chars;
  if (!decodeUtf8(name, chars)) return "name is not valid UTF-8";
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
