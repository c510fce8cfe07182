// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the game headless from a seed, plays a list of inputs at given frames and writes chosen
// frames as PNG files, so any screen can be looked at without a display.
//
//   framedump [--seed N] [--player NAME] [--level N] [--frames N] [--out DIR] [--dump F,F,...]
//             EVENT...
//   framedump --kinds     prints how many kinds of level the cycle has
//
// --level starts the game on level N of the cycle instead of level 1.
//
// EVENT is FRAME:ACTION, applied just before that frame runs:
//   120:move:X,Y          cursor to (X, Y)
//   120:press:left|right|middle   press at the cursor
//   120:release           release any button
//   120:click:X,Y         cursor to (X, Y), press now, release before the next frame
//   120:key:esc           Esc on the game window
//   120:key:enter|backspace   Enter or Backspace typed
//   120:type:TEXT         TEXT (UTF-8) typed, a character at a time
//   120:win               the level is won, as a board wins it (to reach the tally quickly)
// The one-second clock ticks every 33 frames. Without --dump the last frame is written.
// The game runs in a private temporary folder, so no player file is read from or written to the
// folder the dumper was started in.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/utf8.h"
#include "core/frame.h"
#include "core/input.h"
#include "core/level.h"
#include "core/levels.h"
#include "core/players.h"
#include "core/startup.h"
#include "media/png.h"
#include "profiles/players.h"
#include "state/game.h"
#include "state/host.h"
#include "tools/scratch_folder.h"

namespace {

struct Event {
  std::string action, arg;
};

// The cursor is wherever the script last put it; leaving is only recorded.
class ScriptHost : public mv::Host {
 public:
  int x = 400, y = 300;
  bool left = false;
  bool cursor(int& cx, int& cy) override {
    cx = x;
    cy = y;
    return true;
  }
  void sendScore(const std::string& name, int level, int score) override {
    std::printf("score report: %s level %d score %d\n", name.c_str(), level, score);
  }
  std::string leaderboardPage() override { return "the leaderboard page"; }
  void pause(int) override {}
  void message(const std::string& text) override { std::printf("message: %s\n", text.c_str()); }
  void close() override { left = true; }
};

bool parseXY(const std::string& s, int& x, int& y) {
  return std::sscanf(s.c_str(), "%d,%d", &x, &y) == 2;
}

[[noreturn]] void usage(const std::string& why) {
  std::fprintf(stderr, "framedump: %s\n", why.c_str());
  std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
  uint64_t seed = 1;
  int frames = 100, level = 0;
  std::string out = ".", player = "PLAYER";
  std::set<int> dump;
  std::multimap<int, Event> events;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto next = [&]() -> std::string {
      if (i + 1 >= argc) usage("missing value after " + a);
      return argv[++i];
    };
    if (a == "--seed") {
      seed = std::strtoull(next().c_str(), nullptr, 10);
    } else if (a == "--frames") {
      frames = std::atoi(next().c_str());
    } else if (a == "--out") {
      out = next();
    } else if (a == "--level") {
      level = std::atoi(next().c_str());
    } else if (a == "--kinds") {
      std::printf("%d\n", mv::levelKindCount());
      return 0;
    } else if (a == "--player") {
      player = next();
    } else if (a == "--dump") {
      std::stringstream list(next());
      for (std::string f; std::getline(list, f, ',');) dump.insert(std::atoi(f.c_str()));
    } else {
      const auto c1 = a.find(':');
      if (c1 == std::string::npos) usage("bad event " + a);
      const auto c2 = a.find(':', c1 + 1);
      Event e{a.substr(c1 + 1, c2 == std::string::npos ? std::string::npos : c2 - c1 - 1),
              c2 == std::string::npos ? "" : a.substr(c2 + 1)};
      events.emplace(std::atoi(a.substr(0, c1).c_str()), e);
    }
  }
  if (dump.empty()) dump.insert(frames);
  out = std::filesystem::absolute(out).string();

  mv::Catalogue cat;
  try {
    const char* dir = std::getenv("MORVANE_ASSETS");
    cat.readManifest(dir && *dir ? dir : MORVANE_ASSETS_DIR);
    cat.loadImages();
  } catch (const mv::AssetError& e) {
    usage(e.what());
  }
  const mv::tools::ScratchFolder scratch;
  mv::Screen screen;
  mv::TextCanvas canvas(screen);
  mv::Sound sound(std::make_unique<mv::SilentBackend>(), mv::kSoundCount);
  mv::Game g(screen, canvas, sound, cat, seed);
  ScriptHost host;
  g.host = &host;
  g.playerName = player;
  mv::FormCreate(g, seed);
  if (level > 0) {
    g.level = level;
    g.levelType = (level - 1) % mv::levelKindCount() + 1;
    g.backgroundIndex = (level - 1) % mv::backgroundCount() + 1;
    mv::gamereset(g);
  }

  std::set<int> releaseAt;
  for (int f = 1; f <= frames && !host.left; ++f) {
    if (releaseAt.count(f)) mv::DXDrawMouseUp(g);
    auto [from, to] = events.equal_range(f);
    for (auto it = from; it != to; ++it) {
      const Event& e = it->second;
      if (e.action == "move" || e.action == "click") {
        if (!parseXY(e.arg, host.x, host.y)) usage("bad position " + e.arg);
      }
      if (e.action == "press" || e.action == "click") {
        const auto button = e.arg == "right"    ? mv::MouseButton::Right
                            : e.arg == "middle" ? mv::MouseButton::Other
                                                : mv::MouseButton::Left;
        mv::DXDrawMouseDown(g, button, host.x, host.y);
        if (e.action == "click") releaseAt.insert(f + 1);
      } else if (e.action == "release") {
        mv::DXDrawMouseUp(g);
      } else if (e.action == "key" && e.arg == "esc") {
        mv::FormKeyDown(g, mv::kKeyEscape);
      } else if (e.action == "key" && (e.arg == "enter" || e.arg == "backspace")) {
        mv::FormKeyPress(g, e.arg == "enter" ? 13 : 8);
      } else if (e.action == "type") {
        for (size_t at = 0; at < e.arg.size();)
          mv::FormKeyPress(g, static_cast<int>(mv::nextCodePoint(e.arg, at)));
      } else if (e.action == "win") {
        g.levelComplete = true;
        g.tallyDelay = 50;
      } else if (e.action != "move") {
        usage("unknown action " + e.action);
      }
    }
    mv::DXTimerTimer(g);
    if (f % 33 == 0) mv::Timer1Timer(g);
    if (dump.count(f)) {
      char name[64];
      std::snprintf(name, sizeof name, "/frame_%04d.png", f);
      if (!mv::writePng(screen, out + name)) {
        std::fprintf(stderr, "framedump: cannot write %s%s\n", out.c_str(), name);
        return 2;  // leaves through the scratch folder's clean-up
      }
      std::printf("%s%s\n", out.c_str(), name);
    }
  }
  return 0;
}
