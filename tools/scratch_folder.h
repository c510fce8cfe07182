// SPDX-License-Identifier: GPL-3.0-or-later
// A fresh, empty working folder for a headless run of the game, removed when the run ends. The
// game reads and writes its player files in the working directory, so the tools play in one of
// these and never touch the folder they were started in.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace mv::tools {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string name = (std::filesystem::temp_directory_path() / "morvane-tool-XXXXXX").string();
    if (!mkdtemp(name.data())) {
      std::fprintf(stderr, "cannot make a scratch folder in %s\n", name.c_str());
      std::exit(2);
    }
    path_ = name;
    std::filesystem::current_path(path_);
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

 private:
  std::filesystem::path path_;
};

}  // namespace mv::tools
