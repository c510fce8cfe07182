// SPDX-License-Identifier: GPL-3.0-or-later
// What the game asks of the program around it: the system cursor, and the steps of leaving
// that need the windows and the network. Headless runs (tests, tools) supply their own or none.
#pragma once

#include <string>

namespace mv {

class Host {
 public:
  virtual ~Host() = default;
  // Reads the system cursor in 800 x 600 game coordinates; false when there is none to read.
  virtual bool cursor(int& x, int& y) = 0;
  // Starts the score report; it runs in the background and never delays the game.
  virtual void sendScore(const std::string& playerName, int level, int score) = 0;
  // The address of the leaderboard page that shows the reports, named in the thank-you message.
  virtual std::string leaderboardPage() = 0;
  virtual void pause(int ms) = 0;
  virtual void message(const std::string& text) = 0;
  // Releases the sound device and closes both windows, which ends the program.
  virtual void close() = 0;
};

}  // namespace mv
