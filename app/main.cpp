// SPDX-License-Identifier: GPL-3.0-or-later
// Program entry: the welcome window first, so the player sees it at once; the rest of the
// catalogue, the sound device and the hidden game window are made while it shows.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/desktop.h"
#include "app/folders.h"
#include "app/main_form.h"
#include "app/message_box.h"
#include "app/score_report.h"
#include "app/settings.h"
#include "app/welcome.h"
#include "media/catalogue.h"
#include "media/message_box.h"

namespace {

// Milliseconds since the process started, from the kernel's record of its start.
double msSinceLaunch() {
  std::ifstream stat("/proc/self/stat");
  std::string field;
  for (int i = 0; i < 22 && stat >> field; ++i) {
  }
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  const double startS = std::atof(field.c_str()) / static_cast<double>(sysconf(_SC_CLK_TCK));
  return (now.tv_sec + now.tv_nsec / 1e9 - startS) * 1000.0;
}

// MORVANE_TRACE=1 reports the start-up milestones on stderr.
void trace(const char* what) {
  static const bool on = std::getenv("MORVANE_TRACE") != nullptr;
  if (on) std::fprintf(stderr, "morvane: %s %.0f ms after launch\n", what, msSinceLaunch());
}

const mv::Image& boxPanel(const mv::Catalogue& cat) {
  return cat.image(mv::ImageList::selectlist, mv::kBoxPanel);
}

// Tells the player of what stops the program, on stderr and in a message box: over the welcome
// window when it is up, else in a small window of its own. Then ends the program.
[[noreturn]] void fatal(const std::string& text, const mv::Catalogue& cat,
                        mv::Twelcomeform* welcome = nullptr) {
  if (welcome) {
    welcome->message(text, boxPanel(cat));
  } else {
    std::fprintf(stderr, "morvane: %s\n", text.c_str());
    mv::showMessageBoxWindow(boxPanel(cat), text);
  }
  SDL_Quit();
  std::exit(1);
}

std::string assetsDir() {
  char* base = SDL_GetBasePath();
  const std::string programDir = base ? base : "";
  SDL_free(base);
  return mv::catalogueFolder(std::getenv("MORVANE_ASSETS"), programDir,
                             MORVANE_CATALOGUE_FROM_PROGRAM, MORVANE_ASSETS_DIR);
}

uint64_t freshSeed() {
  std::random_device rd;
  return (static_cast<uint64_t>(rd()) << 32) ^ rd() ^ static_cast<uint64_t>(std::time(nullptr));
}

// The welcome window is up: the rest of the catalogue, the data folder and the game window, then
// the event loop until the program ends.
int run(mv::Catalogue& cat, mv::Twelcomeform& welcome) {
  // The player files live in the user's data folder, made the working directory before the game
  // window reads them.
  const mv::DataFolder data =
      mv::enterDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
  // Where the score report goes; reports kept from earlier runs are sent meanwhile. A session
  // whose files are not kept keeps no reports either.
  const mv::LeaderboardChoice board = mv::chooseLeaderboard(
      std::getenv("MORVANE_SCORE_URL"),
      {mv::userConfigFile(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")),
       std::filesystem::path(mv::kSystemConfigFile)});
  for (const std::string& w : board.warnings) std::fprintf(stderr, "morvane: %s\n", w.c_str());
  mv::ScoreReports reports(board.leaderboard,
                           data.warning.empty() ? data.path : std::filesystem::path());
  reports.deliverKept();
  try {
    cat.loadImages([](mv::ImageList l) { return l != mv::ImageList::welcome; });
    cat.checkSounds();
  } catch (const mv::AssetError& e) {
    fatal(e.what(), cat, &welcome);
  }
  if (!data.warning.empty() && welcome.message(data.warning, boxPanel(cat)) == mv::BoxEnd::Quit)
    return 0;
  mv::TMainForm form(cat, freshSeed(), &reports);
  if (!form.create())
    fatal(std::string("cannot open the game display: ") + SDL_GetError(), cat, &welcome);
  trace("game ready");

  bool running = true, firstFrameTraced = false;
  while (running && !form.closed()) {
    const uint64_t wait = form.runTimers(SDL_GetTicks64());
    if (form.framesShown() == 1 && !firstFrameTraced) {
      trace("first game frame shown");
      firstFrameTraced = true;
    }
    if (form.closed()) break;
    SDL_Event e;
    if (!SDL_WaitEventTimeout(&e, static_cast<int>(wait))) continue;
    do {
      const Uint32 id = mv::eventWindow(e);
      if (e.type == SDL_QUIT) {
        running = false;
      } else if (id != 0 && id == welcome.windowId()) {
        // Esc or the window manager's close ends the program; nothing typed here reaches the
        // game.
        if (e.type == SDL_KEYDOWN && e.key.keysym.sym == SDLK_ESCAPE) running = false;
        if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE) running = false;
        if (e.type == SDL_WINDOWEVENT && (e.window.event == SDL_WINDOWEVENT_EXPOSED ||
                                          e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED))
          welcome.paint();
        if (e.type == SDL_MOUSEBUTTONUP && e.button.button == SDL_BUTTON_LEFT &&
            mv::Twelcomeform::onPicture(e.button.x, e.button.y)) {
          form.FormShow();
          welcome.hide();
        }
      } else {
        form.handleEvent(e);
      }
    } while (SDL_PollEvent(&e));
  }
  return 0;
}

}  // namespace

int main(int, char**) {
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  // Without a display nothing can be shown, so these two are said on stderr only.
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
    std::fprintf(stderr, "morvane: cannot start the display: %s\n", SDL_GetError());
    return 1;
  }
  if (!mv::displayFound()) {
    std::fprintf(stderr,
                 "morvane: no display found (start it from a desktop session, or set DISPLAY)\n");
    SDL_Quit();
    return 1;
  }

  mv::Catalogue cat;
  try {
    cat.readManifest(assetsDir());
    cat.loadImages([](mv::ImageList l) { return l == mv::ImageList::welcome; });
  } catch (const mv::AssetError& e) {
    fatal(e.what(), cat);
  }
  int status = 0;
  {
    mv::Twelcomeform welcome;
    if (!welcome.create(cat))
      fatal(std::string("cannot open the welcome window: ") + SDL_GetError(), cat);
    trace("welcome picture shown");
    status = run(cat, welcome);
  }
  SDL_Quit();
  return status;
}
