// SPDX-License-Identifier: GPL-3.0-or-later
// The three runs of morvane-scores-bench; each returns the process exit status.
#pragma once

#include <string>
#include <vector>

namespace scores::bench {

int loadMode(const std::vector<std::string>& args);
int crashMode(const std::vector<std::string>& args);
int fuzzMode(const std::vector<std::string>& args);

}  // namespace scores::bench
