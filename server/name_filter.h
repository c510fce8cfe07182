// SPDX-License-Identifier: GPL-3.0-or-later
// Names the leaderboard refuses: a list of words, none of which a name may contain. Names and
// words are compared after Unicode compatibility normalisation and case folding (NFKC_Casefold),
// so full-width, styled or accented-by-combining letters and any case match the plain word.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace scores {

class NameFilter {
 public:
  explicit NameFilter(const std::vector<std::string>& words);

  // One word per line of `path` (UTF-8); empty lines, surrounding spaces and lines starting with
  // '#' are skipped. Throws std::runtime_error when the file cannot be read.
  static std::shared_ptr<const NameFilter> load(const std::string& path);

  // Whether `name` contains none of the words.
  bool allows(std::string_view name) const;
  size_t size() const { return words_.size(); }

 private:
  std::vector<std::u16string> words_;  // normalised and folded
};

// `text` (UTF-8) normalised to NFKC and case-folded, as UTF-8.
std::string folded(std::string_view text);

}  // namespace scores
