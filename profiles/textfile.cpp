// SPDX-License-Identifier: GPL-3.0-or-later
#include "profiles/textfile.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace mv {

LineReader::Line LineReader::nextLine(std::string& line) {
  if (!std::getline(in_, line)) {
    if (!in_.bad()) return Line::End;
    stopped_ = broken_ = true;
    return Line::Failed;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return Line::Read;
}

bool LineReader::integer(int& out) {
  if (stopped_) return false;
  std::string line;
  switch (nextLine(line)) {
    case Line::Failed:
      return false;
    case Line::End:
      out = 0;
      return true;
    case Line::Read:
      break;
  }
  // One number, optionally signed, with blanks around it.
  const size_t first = line.find_first_not_of(" \t");
  const size_t last = line.find_last_not_of(" \t");
  const char* begin = line.data() + (first == std::string::npos ? line.size() : first);
  const char* end = line.data() + (last == std::string::npos ? line.size() : last + 1);
  if (end - begin > 1 && begin[0] == '+' && begin[1] != '-') ++begin;
  int32_t v = 0;
  const auto [ptr, ec] = std::from_chars(begin, end, v);
  if (begin == end || ec != std::errc() || ptr != end) {
    stopped_ = true;
    return false;
  }
  out = v;
  return true;
}

bool LineReader::text(std::string& out) {
  if (stopped_) return false;
  std::string line;
  const Line got = nextLine(line);
  if (got == Line::Failed) return false;
  out = got == Line::Read ? line : std::string();
  return true;
}

void noteRead(UnreadFiles& unread, const std::string& path, const LineReader& reader) {
  if (reader.broken())
    unread.insert(path);
  else
    unread.erase(path);
}

bool mayReplace(const UnreadFiles& unread, const std::string& path) {
  return unread.count(path) == 0;
}

namespace {

// Pushes the written bytes to the disk, so the rename below never publishes an empty file
// after a power cut.
bool syncToDisk(std::FILE* f) {
  if (std::fflush(f) != 0) return false;
#ifdef _WIN32
  return _commit(_fileno(f)) == 0;
#else
  return fsync(fileno(f)) == 0;
#endif
}

bool writeAll(const std::string& path, const std::string& content) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(content.data(), 1, content.size(), f) == content.size();
  ok = ok && syncToDisk(f);
  ok = std::fclose(f) == 0 && ok;
  return ok;
}

}  // namespace

bool replaceFile(const std::string& path, const std::string& content) {
  const std::string temp = path + ".tmp";
  std::error_code ec;
  if (writeAll(temp, content)) {
    std::filesystem::rename(temp, path, ec);
    if (!ec) return true;
  }
  std::filesystem::remove(temp, ec);
  return false;
}

}  // namespace mv
