// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/wrap.h"

#include "common/utf8.h"

namespace mv {
namespace {

// Appends the lines of one paragraph (a text without line breaks) to `out`.
void wrapParagraph(std::string_view para, int width, const TextMeasure& measure,
                   std::vector<std::string>& out) {
  const size_t before = out.size();
  std::string line;
  size_t at = 0;
  while (at < para.size()) {
    if (para[at] == ' ') {
      ++at;
      continue;
    }
    size_t end = para.find(' ', at);
    if (end == std::string_view::npos) end = para.size();
    std::string_view word = para.substr(at, end - at);
    at = end;

    std::string joined = line.empty() ? std::string(word) : line + " " + std::string(word);
    if (measure(joined) <= width) {
      line = std::move(joined);
      continue;
    }
    if (!line.empty()) out.push_back(std::move(line));
    line.clear();
    // Too wide for a line of its own: as many whole characters as fit go on each line.
    while (measure(word) > width) {
      size_t fit = 0;
      for (size_t next = 0; next < word.size();) {
        nextCodePoint(word, next);
        if (fit > 0 && measure(word.substr(0, next)) > width) break;
        fit = next;
      }
      // An address reads better broken after one of its separators, when one lies in the second
      // half of what fits. They are single bytes, so no character is split there either.
      for (size_t i = fit; i > 0; --i)
        if (std::string_view("/-.?&=_").find(word[i - 1]) != std::string_view::npos) {
          if (2 * measure(word.substr(0, i)) >= width) fit = i;
          break;
        }
      out.emplace_back(word.substr(0, fit));
      word.remove_prefix(fit);
    }
    line = std::string(word);
  }
  // An empty paragraph is an empty line.
  if (!line.empty() || out.size() == before) out.push_back(std::move(line));
}

}  // namespace

std::vector<std::string> wrapText(std::string_view text, int width, const TextMeasure& measure) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  std::string plain(text);
  for (char& c : plain)
    if (c == '\t' || c == '\r') c = ' ';
  std::string_view rest = plain;
  while (true) {
    const size_t nl = rest.find('\n');
    wrapParagraph(rest.substr(0, nl), width, measure, lines);
    if (nl == std::string_view::npos || nl + 1 == rest.size()) break;
    rest.remove_prefix(nl + 1);
  }
  return lines;
}

}  // namespace mv
