// SPDX-License-Identifier: GPL-3.0-or-later
// The game's small text files: one value a line, lines ended by CR LF. Writing replaces a file
// whole or not at all; reading follows the game's forgiving rules for short and damaged files.
#pragma once

#include <cstdint>
#include <istream>
#include <string>

#include "state/game.h"

namespace mv {

// Builds a file's content line by line.
class LineWriter {
 public:
  void integer(int32_t v) { text(std::to_string(v)); }
  void text(const std::string& s) {
    content_ += s;
    content_ += "\r\n";
  }
  const std::string& content() const { return content_; }

 private:
  std::string content_;
};

// Reads values one line each. Past the end of the file an integer reads as 0 and a text as
// empty. A line that holds no valid integer where one is expected stops the reading, and so does
// a read that fails (an I/O error is not the end of the file): that read and every later one
// fail and leave their targets alone.
class LineReader {
 public:
  explicit LineReader(std::istream& in) : in_(in) {}
  bool integer(int& out);
  bool text(std::string& out);
  // Whether the reading broke off on a failed read.
  bool broken() const { return broken_; }

 private:
  enum class Line { Read, End, Failed };
  // The next line without its line end.
  Line nextLine(std::string& line);

  std::istream& in_;
  bool stopped_ = false;
  bool broken_ = false;
};

// Notes whether the file at `path` was read whole (UnreadFiles, in the game state), and whether
// it may be written over.
void noteRead(UnreadFiles& unread, const std::string& path, const LineReader& reader);
bool mayReplace(const UnreadFiles& unread, const std::string& path);

// Writes `content` to `path` through a temporary file in the same directory that is renamed over
// the old file once it is complete, so a failed or interrupted write leaves the old file as it
// was. False when the file could not be written.
bool replaceFile(const std::string& path, const std::string& content);

}  // namespace mv
