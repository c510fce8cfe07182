// SPDX-License-Identifier: GPL-3.0-or-later
// The game keeps its files in the working directory, so every test runs in a fresh, empty one:
// no test sees another's player list or save files, and none lands in the build tree.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace mv::test {
namespace {

namespace fs = std::filesystem;

class FreshWorkingDirectory : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override {
    home_ = fs::current_path();
    dir_ = fs::temp_directory_path() /
           ("morvane-test-" + std::to_string(getpid()) + "-" + std::to_string(++count_));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::current_path(dir_);
  }
  void OnTestEnd(const ::testing::TestInfo&) override {
    std::error_code ec;
    fs::current_path(home_, ec);
    fs::remove_all(dir_, ec);
  }

  fs::path home_, dir_;
  int count_ = 0;
};

[[maybe_unused]] const bool kInstalled = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new FreshWorkingDirectory);
  return true;
}();

TEST(WorkingDirectory, EachTestStartsInAnEmptyDirectoryOfItsOwn) {
  EXPECT_TRUE(fs::is_empty(fs::current_path()));
  std::ofstream("gamenames.dat") << "0\r\n";
}

TEST(WorkingDirectory, FilesOfEarlierTestsAreGone) {
  EXPECT_FALSE(fs::exists("gamenames.dat"));
  EXPECT_TRUE(fs::is_empty(fs::current_path()));
}

}  // namespace
}  // namespace mv::test
