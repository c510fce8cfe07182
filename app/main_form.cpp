// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_form.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <vector>

#include "app/message_box.h"
#include "common/utf8.h"
#include "core/frame.h"
#include "core/input.h"
#include "core/players.h"
#include "core/startup.h"
#include "profiles/players.h"

namespace mv {
namespace {

uint64_t nowMs() {
  return SDL_GetTicks64();
}

std::unique_ptr<SoundBackend> openSoundDevice(const Catalogue& cat) {
  std::vector<std::string> files;
  for (int i = 0; i < kSoundCount; ++i) files.push_back(cat.soundFile(i));
  auto backend = openMixerBackend(files);
  if (!backend->available()) std::fprintf(stderr, "morvane: no sound device, playing silent\n");
  return backend;
}

// Hands each character of SDL's UTF-8 text to the game as its code point; a malformed byte
// arrives as the replacement character, which no name takes.
void typeText(Game& g, std::string_view text) {
  for (size_t at = 0; at < text.size();) FormKeyPress(g, static_cast<int>(nextCodePoint(text, at)));
}

}  // namespace

TMainForm::TMainForm(Catalogue& cat, uint64_t seed, ScoreReports* reports)
    : cat_(cat), reports_(reports) {
  sound_.emplace(openSoundDevice(cat), kSoundCount);
  game_ = std::make_unique<Game>(screen_, canvas_, *sound_, cat_, seed);
  game_->host = this;
  screen_.setPresenter([this](const Screen& s) {
    if (!closed_ && display_) display_->present(s, nowMs());
  });
  FormCreate(*game_, seed);
  nextClock_ = nowMs() + kClockMs;
}

TMainForm::~TMainForm() {
  if (reports_) reports_->wait();
  game_.reset();
  sound_.reset();  // releases the sound device before the window goes
  display_.reset();
  if (window_) SDL_DestroyWindow(window_);
}

bool TMainForm::create() {
  // Made full screen while hidden, with its renderer, so that showing it later is quick.
  window_ = SDL_CreateWindow(
      "Morvane", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kScreenW, kScreenH,
      SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN_DESKTOP);
  if (!window_) return false;
  // Text input starts when the window is shown, for the name entry.
  SDL_StopTextInput();
  display_ = std::make_unique<Display>(window_);
  return display_->open();
}

void TMainForm::FormShow() {
  if (shown_) return;
  SDL_ShowWindow(window_);
  SDL_RaiseWindow(window_);
  display_->invalidate();
  SDL_StartTextInput();
  shown_ = true;
  focused_ = SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS;
  nextFrame_ = nowMs();
}

bool TMainForm::frameTimerOn() const {
  return shown_ && focused_ && !closed_ && screen_.canDraw();
}

void TMainForm::handleEvent(const SDL_Event& e) {
  Game& g = *game_;
  // Nothing typed before the window is shown reaches the game.
  if (!shown_ && (e.type == SDL_KEYDOWN || e.type == SDL_TEXTINPUT)) return;
  switch (e.type) {
    case SDL_MOUSEBUTTONDOWN: {
      // The renderer has already mapped the event to game pixels.
      const GamePoint p = clampToGame(e.button.x, e.button.y);
      const MouseButton b = e.button.button == SDL_BUTTON_LEFT    ? MouseButton::Left
                            : e.button.button == SDL_BUTTON_RIGHT ? MouseButton::Right
                                                                  : MouseButton::Other;
      DXDrawMouseDown(g, b, p.x, p.y);
      pressUnseen_ = true;
      releaseHeld_ = false;
      break;
    }
    case SDL_MOUSEBUTTONUP:
      if (pressUnseen_)
        releaseHeld_ = true;
      else
        DXDrawMouseUp(g);
      break;
    case SDL_KEYDOWN:
      if (e.key.keysym.sym == SDLK_RETURN && (e.key.keysym.mod & KMOD_ALT)) {
        if (display_) display_->toggleFullscreen();
      } else if (e.key.keysym.sym == SDLK_ESCAPE && !e.key.repeat) {
        FormKeyDown(g, kKeyEscape);
      } else if (e.key.keysym.sym == SDLK_RETURN || e.key.keysym.sym == SDLK_KP_ENTER) {
        FormKeyPress(g, 13);
      } else if (e.key.keysym.sym == SDLK_BACKSPACE) {
        FormKeyPress(g, 8);
      }
      break;
    case SDL_TEXTINPUT:
      typeText(g, e.text.text);
      break;
    case SDL_WINDOWEVENT:
      switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          focused_ = true;
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          focused_ = false;
          break;
        // A minimised or hidden window has no display to draw on.
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_HIDDEN:
          screen_.setCanDraw(false);
          break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SHOWN:
          screen_.setCanDraw(true);
          if (display_) display_->invalidate();
          break;
        // Uncovered: what the window showed may be gone.
        case SDL_WINDOWEVENT_EXPOSED:
          if (display_) display_->invalidate();
          break;
        case SDL_WINDOWEVENT_CLOSE:
          closed_ = true;
          break;
        default:
          break;
      }
      break;
    case SDL_RENDER_DEVICE_RESET:
      if (display_) display_->reset();
      break;
    default:
      break;
  }
}

uint64_t TMainForm::runTimers(uint64_t now) {
  if (now >= nextClock_) {
    Timer1Timer(*game_);
    nextClock_ += kClockMs;
    if (nextClock_ <= now) nextClock_ = now + kClockMs;
  }
  uint64_t due = nextClock_;
  if (frameTimerOn()) {
    if (now >= nextFrame_) {
      frame();
      // Frames missed while the game was busy are skipped, not made up.
      nextFrame_ += kFrameMs;
      if (nextFrame_ <= now) nextFrame_ = now + kFrameMs;
    }
    due = std::min(due, nextFrame_);
  } else {
    nextFrame_ = std::max(nextFrame_, now);
  }
  return due > now ? due - now : 0;
}

void TMainForm::frame() {
  DXTimerTimer(*game_);
  ++framesShown_;
  pressUnseen_ = false;
  if (releaseHeld_) {
    releaseHeld_ = false;
    DXDrawMouseUp(*game_);
  }
}

bool TMainForm::cursor(int& x, int& y) {
  if (!display_) return false;
  const GamePoint p = display_->cursor();
  x = p.x;
  y = p.y;
  return true;
}

void TMainForm::sendScore(const std::string& playerName, int level, int score) {
  if (reports_) reports_->send(playerName, level, score);
}

std::string TMainForm::leaderboardPage() {
  return reports_ ? reports_->site() : leaderboardUrl(kScoreBase);
}

void TMainForm::pause(int ms) {
  SDL_Delay(static_cast<Uint32>(ms));
}

// The game window as the place of a message box: the picture goes up scaled and letterboxed
// like every frame, and the window's other events still reach the form.
class TMainForm::BoxInWindow : public BoxView {
 public:
  explicit BoxInWindow(TMainForm& form) : form_(form) {}
  Uint32 windowId() const override { return form_.windowId(); }
  void show(const Screen& picture, const BoxRect&, bool again) override {
    if (again) form_.display_->invalidate();
    form_.display_->present(picture, nowMs());
  }
  GamePoint toPicture(int x, int y, const BoxRect&) const override {
    // The renderer has already mapped the event to game pixels.
    return clampToGame(x, y);
  }
  // Closing the game window ends the program, box or not.
  BoxEnd onClose() const override { return BoxEnd::Quit; }
  void toggleFullscreen() override { form_.display_->toggleFullscreen(); }
  void other(const SDL_Event& e) override { form_.handleEvent(e); }

 private:
  TMainForm& form_;
};

void TMainForm::message(const std::string& text) {
  std::fprintf(stderr, "morvane: %s\n", text.c_str());
  if (closed_ || !shown_ || !display_ || !display_->isOpen()) return;
  BoxInWindow view(*this);
  if (showMessageBox(view, screen_, cat_.image(ImageList::selectlist, kBoxPanel), text) ==
      BoxEnd::Quit)
    closed_ = true;
  // The frame on screen is no longer the back buffer's.
  display_->invalidate();
}

void TMainForm::close() {
  // The sound device is released and the windows destroyed when the form goes, right after.
  closed_ = true;
  if (window_) SDL_HideWindow(window_);
}

}  // namespace mv
