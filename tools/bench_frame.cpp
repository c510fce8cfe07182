// SPDX-License-Identifier: GPL-3.0-or-later
// Composes a busy play frame headless and compares its median time with the floor of two plain
// copies of an 800 x 600 16-bit buffer: first with stand-in sprites, then with the game's own
// pictures and routines (20 live spiders walking around the board, blood, HUD, texts). Prints
// figures; it never fails. It plays in a scratch folder, so it leaves no player file behind.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "board/deal.h"
#include "board/effects.h"
#include "board/spiders.h"
#include "core/frame.h"
#include "core/hud.h"
#include "core/level.h"
#include "core/levels.h"
#include "media/canvas.h"
#include "media/screen.h"
#include "state/game.h"
#include "state/random.h"
#include "tools/scratch_folder.h"

namespace {

using Clock = std::chrono::steady_clock;

// A w x h disc of `colour` on the black key, with a darker rim, like most sprites.
mv::Image disc(int w, int h, uint16_t colour) {
  std::vector<uint16_t> px(static_cast<size_t>(w) * h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double dx = (x + 0.5) / w - 0.5, dy = (y + 0.5) / h - 0.5;
      const double r = dx * dx + dy * dy;
      if (r < 0.25) px[static_cast<size_t>(y) * w + x] = r > 0.18 ? colour >> 1 & 0x7BEF : colour;
    }
  return mv::Image::fromPixels(w, h, std::move(px), true, 0);
}

mv::Image gradient(int w, int h) {
  std::vector<uint16_t> px(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      px[static_cast<size_t>(y) * w + x] =
          static_cast<uint16_t>(((x / 25 % 8 + 4) << 11) | ((y / 25 % 8 + 2) << 5) | 9);
  return mv::Image::fromPixels(w, h, std::move(px), true, 0);
}

double medianUs(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The game's own spider frame on the shipped pictures: 20 live spiders, a death every 40 frames.
void benchSpiders(int frames) {
  mv::Screen screen;
  mv::TextCanvas canvas(screen);
  mv::Sound sound(std::make_unique<mv::SilentBackend>(), mv::kSoundCount);
  mv::Catalogue cat;
  try {
    cat.readManifest(MORVANE_ASSETS_DIR);
    cat.loadImages();
  } catch (const mv::AssetError& e) {
    std::printf("game spiders: skipped (%s)\n", e.what());
    return;
  }
  mv::Game g(screen, canvas, sound, cat, 7);
  g.level = 4;
  g.spiderDeathPenalty = 200;
  g.timeLeft = 400;
  g.boardRight = g.boardBottom = 10 * 29 + 48;
  g.spiderSlots = 20;
  std::vector<double> times;
  for (int f = 0; f < frames; ++f) {
    // Keep every slot filled so each frame draws 20 spiders.
    for (int i = 1; i <= mv::kSpiderSlots; ++i)
      if (g.spiders[i].spiderLife == 0) mv::spawnspider(g, 360 + i * 15, 420, 1 + i % 4, 1);
    if (f % 40 == 0) g.scareArmed = true;
    auto t0 = Clock::now();
    screen.fillScreen(0);
    screen.drawImage(g.image(mv::ImageList::levellist, 1), 0, 0, 0);
    mv::drawblood(g);
    g.levelHint.clear();
    g.liveSpiders = 0;
    g.colourCount = {};
    for (int i = 1; i <= g.spiderSlots; ++i) mv::updatespider(g, i);
    mv::hud(g);
    mv::drawfloattexts(g);
    times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
  }
  std::printf("game spiders (20 live, shadows on, background, blood, HUD): %.1f us\n",
              medianUs(times));

  // The whole play frame on a dealt 10 x 10 board with 20 live spiders.
  g.level = 4;
  g.levelType = mv::kBoardLevel;
  g.menuOpen = false;
  g.hintStep = 5;
  newlevel(g);
  g.introStage = 0;
  g.boardCols = g.boardRows = 10;
  settiles(g);
  g.boardRight = g.boardBottom = 10 * 29 + 48;
  g.spiderSlots = g.maxSpiders = 20;
  times.clear();
  for (int f = 0; f < frames; ++f) {
    for (int i = 1; i <= mv::kSpiderSlots; ++i)
      if (g.spiders[i].spiderLife == 0) mv::spawnspider(g, 360 + i * 15, 420, 1 + i % 4, 1);
    auto t0 = Clock::now();
    screen.fillScreen(0);
    mv::playFrame(g);
    times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
  }
  std::printf("game play frame (10 x 10 board, %d live spiders, inventory panel): %.1f us\n",
              g.liveSpiders, medianUs(times));
}

}  // namespace

int main() {
  // Level set-up saves the player, so the game plays in a folder of its own.
  const mv::tools::ScratchFolder scratch;
  constexpr int kFrames = 300;
  mv::Screen screen;
  mv::TextCanvas canvas(screen);
  mv::Random rng(7);
  const mv::Image background = gradient(800, 600);
  const mv::Image tile = disc(25, 25, 0xB5A0), spider = disc(100, 100, 0x7C0F),
                  symbol = disc(100, 100, 0xF800), item = disc(20, 20, 0x07FF),
                  glow = disc(40, 40, 0xFFE0), smoke = disc(50, 50, 0xFFFF);

  struct Sprite {
    int x, y, size, angle;
  };
  std::vector<Sprite> spiders(20), items(20), puffs(100);
  for (auto& s : spiders) s = {rng.random(50, 750), rng.random(50, 550), rng.random(30, 60), 0};
  for (auto& s : items) s = {rng.random(20, 780), rng.random(20, 580), 20, 0};
  for (auto& s : puffs) s = {rng.random(0, 800), rng.random(0, 600), rng.random(20, 50), 0};

  std::vector<double> busy, floor;
  std::vector<uint16_t> a(800 * 600, 1), b(800 * 600, 2);
  for (int f = 0; f < kFrames; ++f) {
    auto t0 = Clock::now();
    screen.fillScreen(0);
    screen.drawImage(background, 0, 0, 0);
    for (int i = 0; i < 300; ++i) screen.drawImage(tile, 100 + i % 20 * 28, 60 + i / 20 * 28, 0);
    for (auto& s : spiders) {
      s.angle += 3;
      screen.drawRotatedSub(spider, s.x - 5, s.y - 5, s.size, s.size, 0, 0.5, 0.5, s.angle, 255);
      screen.drawRotated(spider, s.x, s.y, s.size, s.size, 0, 0.5, 0.5, s.angle);
      screen.drawRotated(symbol, s.x, s.y, s.size / 2, s.size / 2, 0, 0.5, 0.5, s.angle);
    }
    for (const auto& s : items) {
      screen.drawImage(item, s.x - 5, s.y - 5, 0);
      screen.drawRotatedAlpha(glow, s.x + 3, s.y + 3, 40, 40, 0, 0.5, 0.5, 0, 100);
    }
    // Smoke is drawn unturned, as the level map draws it.
    for (auto& s : puffs)
      screen.drawRotatedAlpha(smoke, s.x, s.y, s.size, s.size, 0, 0.5, 0.5, 0, 60 + s.size);
    canvas.take().setFontColour(0xFFFFFF);
    for (int i = 0; i < 20; ++i) canvas.textOut(20, 100 + i * 11, "Grow Rune - Drop on a spider");
    canvas.release();
    auto t1 = Clock::now();
    std::memcpy(a.data(), screen.pixels(), a.size() * 2);
    std::memcpy(b.data(), a.data(), b.size() * 2);
    auto t2 = Clock::now();
    busy.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
    floor.push_back(std::chrono::duration<double, std::micro>(t2 - t1).count());
  }
  const double m = medianUs(busy), fl = medianUs(floor);
  std::printf("frames: %d\nfloor (two 800x600 16-bit copies): %.1f us\n", kFrames, fl);
  std::printf("busy frame: %.1f us, %.1fx floor\n", m, m / fl);
  benchSpiders(kFrames);
  return 0;
}
