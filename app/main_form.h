// SPDX-License-Identifier: GPL-3.0-or-later
// The game window: owns the game state and its services, shows the back buffer full screen,
// turns SDL events into the game's input events and runs the frame timer and the level clock.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "app/display.h"
#include "app/score_report.h"
#include "media/canvas.h"
#include "media/catalogue.h"
#include "media/screen.h"
#include "media/sound.h"
#include "state/game.h"
#include "state/host.h"

namespace mv {

class TMainForm : public Host {
 public:
  static constexpr int kFrameMs = 30;
  static constexpr int kClockMs = 1000;

  // Creates the hidden window and runs FormCreate. The sound device is opened here; without
  // one the game runs silent. `reports` sends the exit's score report; without it none is sent.
  TMainForm(Catalogue& cat, uint64_t seed, ScoreReports* reports = nullptr);
  ~TMainForm() override;

  // The hidden window and its display; false with SDL's error.
  bool create();
  // First showing: the window comes up full screen and the frame timer starts.
  void FormShow();
  bool shown() const { return shown_; }
  bool closed() const { return closed_; }
  Uint32 windowId() const { return window_ ? SDL_GetWindowID(window_) : 0; }
  Game& game() { return *game_; }
  uint64_t framesShown() const { return framesShown_; }

  void handleEvent(const SDL_Event& e);
  // Runs whichever timers are due at `nowMs`; returns the ms until the next one is due.
  uint64_t runTimers(uint64_t nowMs);

  // Host.
  bool cursor(int& x, int& y) override;
  void sendScore(const std::string& playerName, int level, int score) override;
  // The leaderboard page, or the game's home page when reports are off.
  std::string leaderboardPage() override;
  void pause(int ms) override;
  // Writes `text` on stderr and shows it in a message box over the back buffer, holding the
  // frame timer and the game's input until it is confirmed. Closing the window meanwhile ends
  // the program.
  void message(const std::string& text) override;
  void close() override;

 private:
  class BoxInWindow;
  bool frameTimerOn() const;
  void frame();

  Catalogue& cat_;
  Screen screen_;
  TextCanvas canvas_{screen_};
  std::optional<Sound> sound_;
  std::unique_ptr<Game> game_;
  SDL_Window* window_ = nullptr;
  std::unique_ptr<Display> display_;
  ScoreReports* reports_;
  bool shown_ = false;
  bool focused_ = false;
  bool closed_ = false;
  // A press that no frame has seen yet, and its release held back until one has: a quick tap
  // whose press and release both land between two frames is still one click.
  bool pressUnseen_ = false;
  bool releaseHeld_ = false;
  uint64_t nextFrame_ = 0, nextClock_ = 0;
  uint64_t framesShown_ = 0;
};

}  // namespace mv
