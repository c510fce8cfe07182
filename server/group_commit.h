// SPDX-License-Identifier: GPL-3.0-or-later
// Group commit: reports that arrive while one commit is under way wait, and the first of them
// then commits them all in one transaction. One synchronised write serves many reports, and each
// caller still returns only once its own report is committed. A commit that fails fails the
// reports waiting behind it too, so a store that has stopped answering costs each caller one
// store call's wait at most.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "server/store.h"

namespace scores {

struct PendingReport {
  const Report* report;
  const std::string* received;
  const std::string* address;
};

class GroupCommit {
 public:
  // Adds one report and returns once the batch holding it is committed by `commit`, which runs
  // on one of the callers' threads with the whole batch. Throws StoreError when that commit
  // failed.
  template <typename Commit>
  void add(const PendingReport& report, Commit commit) {
    Waiting mine{report, false, {}};
    std::unique_lock lock(mutex_);
    const std::uint64_t failures = failures_;
    waiting_.push_back(&mine);
    while (!mine.done && committing_ && failures_ == failures) committed_.wait(lock);
    if (!mine.done && failures_ != failures) {
      // A commit failed while this report waited: it fails the same way rather than waiting
      // for a commit of its own, so no caller waits for more than one store call.
      std::erase(waiting_, &mine);
      throw StoreError(lastError_);
    }
    if (!mine.done) {
      committing_ = true;
      std::vector<Waiting*> batch;
      batch.swap(waiting_);
      lock.unlock();
      std::vector<PendingReport> reports;
      for (const Waiting* w : batch) reports.push_back(w->report);
      std::string error;
      try {
        commit(reports);
      } catch (const StoreError& e) {
        error = e.what();
      } catch (...) {
        error = "cannot store a report";
      }
      lock.lock();
      for (Waiting* w : batch) {
        w->error = error;
        w->done = true;
      }
      if (!error.empty()) {
        ++failures_;
        lastError_ = error;
      }
      committing_ = false;
      committed_.notify_all();
    }
    if (!mine.error.empty()) throw StoreError(mine.error);
  }

 private:
  struct Waiting {
    PendingReport report;
    bool done;
    std::string error;  // why its commit failed
  };
  std::mutex mutex_;
  std::condition_variable committed_;
  std::vector<Waiting*> waiting_;
  bool committing_ = false;
  std::uint64_t failures_ = 0;  // commits that failed
  std::string lastError_;
};

}  // namespace scores
