// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/outbox.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <thread>

#include "common/report.h"
#include "profiles/textfile.h"

namespace mv {
namespace fs = std::filesystem;
namespace {

constexpr std::size_t kMaxLine = 1024;
// How long the sending copy waits for another copy's change to the file: long enough for any
// write, short of hanging on a copy that is stopped while it holds the lock.
constexpr int kSenderWaitMs = 5000;

// An flock on a file that is made when missing and never removed (removing it would let two
// copies lock two different files of the same name).
class FileLock {
 public:
  explicit FileLock(const fs::path& path)
      : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {}
  ~FileLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool tryLock() { return fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0; }
  // Polls, so that a copy stopped while it holds the lock cannot hold this one up for long.
  bool lockWithin(int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!tryLock()) {
      if (fd_ < 0 || std::chrono::steady_clock::now() >= deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }
  void unlock() {
    if (fd_ >= 0) ::flock(fd_, LOCK_UN);
  }

 private:
  int fd_;
};

struct Kept {
  std::deque<std::string> reports;
  bool dropped = false;  // the file held lines that are not kept: write it again without them
};

// Reads the outbox a piece at a time, so a huge or damaged file costs no more memory than a
// line; only complete lines count.
Kept readKept(const fs::path& path) {
  Kept kept;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return kept;
  std::string line;
  bool tooLong = false;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
    for (size_t i = 0; i < n; ++i) {
      if (buf[i] != '\n') {
        if (line.size() <= kMaxLine)
          line += buf[i];
        else
          tooLong = true;
        continue;
      }
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!tooLong && outboxLine(line))
        kept.reports.push_back(line);
      else
        kept.dropped = true;
      line.clear();
      tooLong = false;
    }
  }
  if (!line.empty() || tooLong || std::ferror(f)) kept.dropped = true;
  std::fclose(f);
  while (kept.reports.size() > kOutboxCap) {
    kept.reports.pop_front();
    kept.dropped = true;
  }
  return kept;
}

bool writeKept(const fs::path& path, const std::deque<std::string>& reports) {
  if (reports.empty()) {
    std::error_code ec;
    fs::remove(path, ec);
    return !ec;
  }
  std::string content;
  for (const std::string& r : reports) content += r + "\n";
  return replaceFile(path.string(), content);
}

}  // namespace

bool outboxLine(std::string_view line) {
  const std::string prefix = std::string(report::kPath) + "?";
  if (line.size() > kMaxLine || line.size() <= prefix.size() ||
      line.substr(0, prefix.size()) != prefix)
    return false;
  for (const char c : line.substr(prefix.size())) {
    const bool safe = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '.' || c == '_' || c == '~' || c == '%' || c == '&' ||
                      c == '=';
    if (!safe) return false;
  }
  return true;
}

bool settles(long status) {
  if (status >= 200 && status < 300) return true;
  return status >= 400 && status < 500 && status != 408 && status != 429;
}

Outbox::Outbox(fs::path folder) : folder_(std::move(folder)) {}

bool Outbox::keep(const std::string& target, int waitMs) {
  if (!outboxLine(target)) return false;
  FileLock changes(folder_ / "outbox.lock");
  if (!changes.lockWithin(waitMs)) return false;
  Kept kept = readKept(file());
  kept.reports.push_back(target);
  while (kept.reports.size() > kOutboxCap) kept.reports.pop_front();
  return writeKept(file(), kept.reports);
}

std::vector<std::string> Outbox::reports() const {
  const Kept kept = readKept(file());
  return {kept.reports.begin(), kept.reports.end()};
}

int Outbox::deliver(const std::function<long(const std::string&)>& send,
                    const std::atomic<bool>& stop) {
  // Nothing kept: nothing to lock, and no lock files are made.
  std::error_code ec;
  if (!fs::exists(file(), ec)) return 0;
  FileLock sender(folder_ / "outbox.send.lock");
  if (!sender.tryLock()) return -1;
  FileLock changes(folder_ / "outbox.lock");
  int settled = 0;
  // Copies that leave meanwhile may add reports; a bound keeps this from running on for ever.
  for (size_t round = 0; round < 2 * kOutboxCap && !stop; ++round) {
    if (!changes.lockWithin(kSenderWaitMs)) break;
    Kept kept = readKept(file());
    if (kept.dropped) writeKept(file(), kept.reports);
    changes.unlock();
    if (kept.reports.empty()) break;

    // Sent without the change lock, so that a copy leaving now can still keep its report.
    const std::string next = kept.reports.front();
    if (!settles(send(next))) break;

    if (!changes.lockWithin(kSenderWaitMs)) break;
    kept = readKept(file());
    // Only this copy removes reports, so the one sent is still the oldest unless the cap has
    // dropped it meanwhile.
    const auto it = std::find(kept.reports.begin(), kept.reports.end(), next);
    if (it != kept.reports.end()) kept.reports.erase(it);
    const bool written = writeKept(file(), kept.reports);
    changes.unlock();
    ++settled;
    if (!written) break;  // it is still the oldest and would be sent again at once
  }
  return settled;
}

}  // namespace mv
