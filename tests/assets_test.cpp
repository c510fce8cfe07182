// SPDX-License-Identifier: GPL-3.0-or-later
// Checks the shipped catalogue in assets/: every list complete and in order,
// every picture the size, transparency and key colour the game relies on,
// palette storage where start-up speed needs it, and the sound formats.

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string kAssets = MORVANE_ASSETS_DIR;

struct Entry {
  std::string list;
  int index = 0;
  std::string file;  // "-" for an item without a picture
  int transparent = 0;
  uint32_t key = 0;  // 0xBBGGRR
};

struct Manifest {
  std::vector<Entry> images;
  std::map<int, std::string> sounds;
};

Manifest readManifest() {
  Manifest m;
  std::ifstream in(kAssets + "/manifest.txt");
  EXPECT_TRUE(in.good()) << "no manifest in " << kAssets;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream ls(line);
    Entry e;
    ls >> e.list >> e.index >> e.file;
    if (e.list == "DXWaveList") {
      m.sounds[e.index] = e.file;
      continue;
    }
    std::string key;
    ls >> e.transparent >> key;
    e.key = static_cast<uint32_t>(std::stoul(key, nullptr, 16));
    m.images.push_back(e);
  }
  return m;
}

const std::vector<std::pair<std::string, int>> kCounts = {
    {"spiderlist", 13},   {"symbollist", 9}, {"selectlist", 18},    {"gemlist", 41},
    {"explist", 20},      {"booklist", 2},   {"fontlist1", 37},     {"levellist", 6},
    {"tilelist", 15},     {"helplist", 13},  {"animationList", 27}, {"puzzlelist", 5},
    {"roundtilelist", 15}};

bool in(int i, std::initializer_list<int> set) {
  for (int v : set)
    if (v == i) return true;
  return false;
}

struct Want {
  bool picture = true;
  int w = 0, h = 0;  // 0: any size
  bool transparent = true;
  uint32_t key = 0;
};

// What the game relies on for each item.
Want expected(const std::string& l, int i) {
  Want n{false, 0, 0, true, 0};
  auto sz = [](int w, int h, bool t = true, uint32_t key = 0) { return Want{true, w, h, t, key}; };
  if (l == "spiderlist") return i <= 10 ? sz(100, 100) : i == 11 ? n : sz(50, 50);
  if (l == "symbollist") return i == 0 ? sz(50, 50) : sz(100, 100);
  if (l == "selectlist") {
    switch (i) {
      case 1:
        return sz(40, 40);
      case 2:
        return sz(245, 396);
      case 4:
        return sz(700, 600, false);
      case 10:
        return sz(640, 480);
      case 11:
        return sz(640, 480, false);
      case 12:
        return sz(75, 34, false);
      case 13:
      case 14:
        return sz(320, 240, false);
      case 15:
        return sz(265, 265);
      case 16:
        return sz(43, 19, false);
      case 17:
        return sz(1, 1, false);
      default:
        return Want{true, 0, 0, !(i >= 5 && i <= 9), 0};
    }
  }
  if (l == "gemlist") {
    if (i == 11) return n;
    bool opaque = i == 13 || i >= 26;
    if (in(i, {9, 10, 21, 22, 23, 24})) return sz(45, 45, !opaque);
    if (i == 12) return sz(48, 48);
    if (i >= 13 && i <= 16) return sz(21, 20, !opaque);
    return sz(20, 20, !opaque);
  }
  if (l == "explist") return i == 0 ? n : sz(20, 20);
  if (l == "booklist") return i == 0 ? sz(56, 56) : sz(800, 450);
  if (l == "fontlist1") return i == 0 ? n : Want{true, 0, 28, true, 0};
  if (l == "levellist") return i == 0 ? sz(800, 450) : sz(800, 600);
  if (l == "tilelist") return in(i, {11, 14}) ? n : sz(25, 25);
  if (l == "helplist") {
    if (i == 0) return n;
    if (i == 6) return sz(325, 163);
    if (i == 10) return sz(640, 480, false);
    if (i == 12) return sz(344, 183);
    return sz(344, 131);
  }
  if (l == "animationList") {
    if (i == 0) return n;
    if (i <= 14) return sz(800, 450);
    if (i == 15) return sz(800, 600, true, 0xFFFFFF);
    if (i == 16) return sz(800, 450, false);
    if (i == 17) return sz(50, 50);
    if (i == 18) return sz(576, 48);
    if (i == 19) return sz(10, 40);
    if (i == 20) return sz(28, 50);
    return sz(50, 300);
  }
  if (l == "puzzlelist") return i <= 2 ? sz(25, 25) : i == 3 ? sz(225, 221) : sz(100, 100);
  if (l == "roundtilelist") {
    if (in(i, {11, 14})) return n;
    return in(i, {0, 5, 10, 12, 13}) ? sz(25, 25) : sz(38, 25);
  }
  ADD_FAILURE() << "unknown list " << l;
  return n;
}

struct SdlImage : ::testing::Test {
  static void SetUpTestSuite() { IMG_Init(IMG_INIT_PNG); }
};

SDL_Surface* load(const std::string& file) {
  SDL_Surface* s = IMG_Load((kAssets + "/" + file).c_str());
  EXPECT_NE(s, nullptr) << file << ": " << IMG_GetError();
  return s;
}

// The picture in the screen's 16-bit format, as the engine compares keys.
std::vector<uint16_t> to565(SDL_Surface* s) {
  SDL_Surface* c = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_RGB565, 0);
  std::vector<uint16_t> px;
  for (int y = 0; y < c->h; ++y) {
    auto* row =
        reinterpret_cast<const uint16_t*>(static_cast<const uint8_t*>(c->pixels) + y * c->pitch);
    px.insert(px.end(), row, row + c->w);
  }
  SDL_FreeSurface(c);
  return px;
}

uint16_t key565(uint32_t bgr) {
  uint32_t r = bgr & 0xFF, g = (bgr >> 8) & 0xFF, b = (bgr >> 16) & 0xFF;
  return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

TEST(AssetManifest, ListsEveryItemOfEveryListInOrder) {
  Manifest m = readManifest();
  std::map<std::string, std::vector<int>> seen;
  std::vector<std::string> order;
  for (const Entry& e : m.images) {
    if (seen[e.list].empty()) order.push_back(e.list);
    seen[e.list].push_back(e.index);
  }
  for (const auto& [list, count] : kCounts) {
    std::vector<int> want;
    for (int i = 0; i < count; ++i) want.push_back(i);
    EXPECT_EQ(seen[list], want) << list;
  }
  EXPECT_EQ(seen["welcome"], std::vector<int>{0});
  EXPECT_EQ(order.size(), kCounts.size() + 1) << "an unknown list, or a list split in two";
  for (size_t k = 0; k < kCounts.size() && k < order.size(); ++k)
    EXPECT_EQ(order[k], kCounts[k].first);

  std::set<int> sounds;
  for (const auto& [i, f] : m.sounds) sounds.insert(i);
  EXPECT_EQ(sounds.size(), 23u);
  EXPECT_EQ(*sounds.begin(), 0);
  EXPECT_EQ(*sounds.rbegin(), 22);
}

TEST_F(SdlImage, EveryPictureHasItsSizeFlagAndKey) {
  for (const Entry& e : readManifest().images) {
    SCOPED_TRACE(e.list + " " + std::to_string(e.index));
    if (e.list == "welcome") {
      EXPECT_EQ(e.transparent, 0);
      SDL_Surface* s = load(e.file);
      ASSERT_NE(s, nullptr);
      EXPECT_EQ(s->w, 400);
      EXPECT_EQ(s->h, 300);
      EXPECT_EQ(s->format->BitsPerPixel, 8) << "the welcome picture has 256 colours";
      SDL_FreeSurface(s);
      continue;
    }
    Want want = expected(e.list, e.index);
    EXPECT_EQ(e.file != "-", want.picture);
    if (!want.picture || e.file == "-") continue;
    EXPECT_EQ(e.transparent, want.transparent ? 1 : 0);
    EXPECT_EQ(e.key, want.key);
    SDL_Surface* s = load(e.file);
    ASSERT_NE(s, nullptr);
    if (want.w) {
      EXPECT_EQ(s->w, want.w);
    }
    if (want.h) {
      EXPECT_EQ(s->h, want.h);
    }
    if (e.list == "fontlist1") {
      EXPECT_GE(s->w, 15);
      EXPECT_LE(s->w, 28);
    }
    if (e.list == "selectlist" && e.index != 1) {
      EXPECT_EQ(s->format->BitsPerPixel, 8) << "stored as a palette picture";
    }
    SDL_FreeSurface(s);
  }
}

// Keyed pictures must show something, and the pictures that make up a whole
// screen or a whole face must not have holes once converted to 16 bits (a
// visible colour that turns into the key would vanish).
TEST_F(SdlImage, KeysLeaveNoHolesAndHideWhatTheyShould) {
  const std::set<std::pair<std::string, int>> whole = {
      {"levellist", 0},     {"levellist", 1},      {"levellist", 2},      {"levellist", 3},
      {"levellist", 4},     {"levellist", 5},      {"booklist", 1},       {"gemlist", 25},
      {"animationList", 1}, {"animationList", 10}, {"animationList", 11}, {"animationList", 14}};
  for (const Entry& e : readManifest().images) {
    if (e.file == "-" || !e.transparent) continue;
    SCOPED_TRACE(e.list + " " + std::to_string(e.index));
    SDL_Surface* s = load(e.file);
    ASSERT_NE(s, nullptr);
    std::vector<uint16_t> px = to565(s);
    size_t keyed = 0;
    for (uint16_t p : px) keyed += p == key565(e.key);
    EXPECT_LT(keyed, px.size()) << "nothing visible";
    if (whole.count({e.list, e.index})) {
      EXPECT_EQ(keyed, 0u) << "holes in a whole picture";
    }
    SDL_FreeSurface(s);
  }
  // The ghost is a shadow on white; the map strip's trail is open for the footsteps.
  for (const auto& [file, key] : {std::pair{"animationList/15.png", 0xFFFFFFu},
                                  std::pair{"animationList/18.png", 0x000000u}}) {
    SDL_Surface* s = load(file);
    ASSERT_NE(s, nullptr);
    size_t keyed = 0;
    for (uint16_t p : to565(s)) keyed += p == key565(key);
    EXPECT_GT(keyed, 100u) << file;
    SDL_FreeSurface(s);
  }
}

// The options' "off" mark is drawn whole over each ON button, so its corners must blend into the
// options page around it instead of showing a frame of another colour.
TEST_F(SdlImage, OffMarkCornersMatchTheOptionsPageUnderEveryButton) {
  SDL_Surface* page = load("selectlist/11.png");
  SDL_Surface* mark = load("selectlist/12.png");
  ASSERT_TRUE(page && mark);
  const std::vector<uint16_t> pagePx = to565(page), markPx = to565(mark);
  auto channels = [](uint16_t p) {
    return std::array<int, 3>{(p >> 11) << 3, ((p >> 5) & 63) << 2, (p & 31) << 3};
  };
  constexpr int kPageX = 75, kPageY = 55;
  for (auto [x, y] : {std::pair{447, 230}, {447, 274}, {447, 320}, {446, 361}}) {
    for (auto [cx, cy] :
         {std::pair{0, 0}, {mark->w - 1, 0}, {0, mark->h - 1}, {mark->w - 1, mark->h - 1}}) {
      SCOPED_TRACE("mark at " + std::to_string(x) + "," + std::to_string(y) + " corner " +
                   std::to_string(cx) + "," + std::to_string(cy));
      const auto want = channels(pagePx[(y - kPageY + cy) * page->w + x - kPageX + cx]);
      const auto got = channels(markPx[cy * mark->w + cx]);
      for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c], want[c], 12);
    }
  }
  SDL_FreeSurface(page);
  SDL_FreeSurface(mark);
}

TEST(AssetSounds, EverySoundIsMonoPcmInItsFormat) {
  Manifest m = readManifest();
  for (int i = 0; i <= 22; ++i) {
    SCOPED_TRACE("sound " + std::to_string(i));
    ASSERT_TRUE(m.sounds.count(i));
    int rate = 22050;
    if (i == 10 || i == 11) rate = 11025;
    if (i >= 19 && i <= 21) rate = 16000;
    if (i == 22) rate = 12000;
    bool eightBit = i == 10 || i == 11;
    SDL_AudioSpec audio;
    Uint8* buf = nullptr;
    Uint32 len = 0;
    std::string path = kAssets + "/" + m.sounds[i];
    ASSERT_NE(SDL_LoadWAV(path.c_str(), &audio, &buf, &len), nullptr) << SDL_GetError();
    EXPECT_EQ(audio.channels, 1);
    EXPECT_EQ(audio.freq, rate);
    EXPECT_EQ(audio.format, eightBit ? AUDIO_U8 : AUDIO_S16LSB);
    EXPECT_GT(len, 0u);
    // No sample at full scale: nothing clipped.
    int peak = 0;
    if (eightBit) {
      for (Uint32 k = 0; k < len; ++k) peak = std::max(peak, std::abs(int(buf[k]) - 128) * 256);
    } else {
      auto* s = reinterpret_cast<const int16_t*>(buf);
      for (Uint32 k = 0; k < len / 2; ++k) peak = std::max(peak, std::abs(int(s[k])));
    }
    EXPECT_LT(peak, 32000);
    EXPECT_GT(peak, 3000) << "silent";
    SDL_FreeWAV(buf);
  }
}

// A voice ends before the game may start the next one over it: the voodoo box's
// praise waits 100 frames, the tile voice 200, the first-jewel voice 300, and the
// level-1 and level-3 intro voices have the intro's 500 frames.
TEST(AssetSounds, VoicesEndBeforeTheGameMayStartAnother) {
  Manifest m = readManifest();
  const double frameSeconds = 0.030;
  for (auto [sound, frames] : {std::pair{2, 100}, {18, 200}, {19, 300}, {1, 500}, {17, 500}}) {
    SCOPED_TRACE("sound " + std::to_string(sound));
    ASSERT_TRUE(m.sounds.count(sound));
    SDL_AudioSpec audio;
    Uint8* buf = nullptr;
    Uint32 len = 0;
    std::string path = kAssets + "/" + m.sounds[sound];
    ASSERT_NE(SDL_LoadWAV(path.c_str(), &audio, &buf, &len), nullptr) << SDL_GetError();
    const double seconds = double(len) / (SDL_AUDIO_BITSIZE(audio.format) / 8) / audio.freq;
    EXPECT_LT(seconds, frames * frameSeconds);
    SDL_FreeWAV(buf);
  }
}

// The ambient loop repeats without a click: its end runs smoothly into its start.
TEST(AssetSounds, AmbientLoopJoinsSeamlessly) {
  SDL_AudioSpec audio;
  Uint8* buf = nullptr;
  Uint32 len = 0;
  std::string path = kAssets + "/DXWaveList/00.wav";
  ASSERT_NE(SDL_LoadWAV(path.c_str(), &audio, &buf, &len), nullptr);
  auto* s = reinterpret_cast<const int16_t*>(buf);
  size_t n = len / 2;
  ASSERT_GT(n, 1000u);
  int maxStep = 0;
  for (size_t k = 1; k < n; ++k) maxStep = std::max(maxStep, std::abs(s[k] - s[k - 1]));
  int joinStep = std::abs(s[0] - s[n - 1]);
  EXPECT_LE(joinStep, maxStep) << "the loop point jumps more than any step inside the loop";
  SDL_FreeWAV(buf);
}

}  // namespace
