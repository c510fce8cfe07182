// SPDX-License-Identifier: GPL-3.0-or-later
// Moderation from the command line, on the same store a running server uses:
//   morvane-scores list [--db DB] [--name NAME] [--hidden] [--last K]
//   morvane-scores hide|unhide [--db DB] ID... | --name NAME
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace scores {

inline constexpr const char* kModerationUsage =
    "Moderation, safe while servers run on the same store:\n"
    "  morvane-scores list [--db DB] [--name NAME] [--hidden] [--last K]\n"
    "                         the latest K reports (default 50), newest first, with their ids;\n"
    "                         --name only one name's, --hidden only hidden ones\n"
    "  morvane-scores hide [--db DB] ID... | --name NAME\n"
    "                         hides reports: they stay in the store, but no page, JSON or count\n"
    "                         shows them from the next view on\n"
    "  morvane-scores unhide [--db DB] ID... | --name NAME\n"
    "                         shows hidden reports again\n";

// Whether `word` names a moderation command.
bool isModerationCommand(const std::string& word);

// Runs one moderation command (`args` from the command's name on); returns the exit status:
// 0 done, 1 the store failed, 2 a mistake on the command line.
int runModeration(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace scores
