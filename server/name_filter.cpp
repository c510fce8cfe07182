// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/name_filter.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include <fstream>
#include <stdexcept>

namespace scores {

namespace {

icu::UnicodeString normalised(std::string_view text) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfkcCasefold = icu::Normalizer2::getNFKCCasefoldInstance(status);
  if (U_FAILURE(status)) throw std::runtime_error("Unicode normalisation is not available");
  const icu::UnicodeString out =
      nfkcCasefold->normalize(icu::UnicodeString::fromUTF8(
                                  icu::StringPiece(text.data(), static_cast<int32_t>(text.size()))),
                              status);
  if (U_FAILURE(status)) throw std::runtime_error("a text could not be normalised");
  return out;
}

std::string trimmed(const std::string& line) {
  const auto first = line.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::string folded(std::string_view text) {
  std::string out;
  normalised(text).toUTF8String(out);
  return out;
}

NameFilter::NameFilter(const std::vector<std::string>& words) {
  for (const std::string& w : words) {
    const icu::UnicodeString n = normalised(w);
    if (!n.isEmpty())
      words_.emplace_back(reinterpret_cast<const char16_t*>(n.getBuffer()),
                          static_cast<size_t>(n.length()));
  }
}

std::shared_ptr<const NameFilter> NameFilter::load(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read the word list " + path);
  std::vector<std::string> words;
  for (std::string line; std::getline(in, line);) {
    line = trimmed(line);
    if (!line.empty() && line[0] != '#') words.push_back(line);
  }
  if (in.bad()) throw std::runtime_error("cannot read the word list " + path);
  return std::make_shared<const NameFilter>(words);
}

bool NameFilter::allows(std::string_view name) const {
  if (words_.empty()) return true;
  const icu::UnicodeString n = normalised(name);
  const std::u16string_view text(reinterpret_cast<const char16_t*>(n.getBuffer()),
                                 static_cast<size_t>(n.length()));
  for (const std::u16string& w : words_)
    if (text.find(w) != std::u16string_view::npos) return false;
  return true;
}

}  // namespace scores
