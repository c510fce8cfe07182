#include "profiles/players.h"

#include <array>
#include <filesystem>
#include <fstream>

#include "board/level.h"
#include "core/game.h"
#include "media/utf8.h"
#include "profiles/names.h"
#include "profiles/savefile.h"
#include "profiles/textfile.h"

namespace mv {
namespace {

constexpr bool Game::*kOptions[] = {&Game::soundOn, &Game::scaryOn, &Game::detailsOn,
                                    &Game::difficultyOn};

constexpr int kEnter = 13, kEscape = 27, kBackspace = 8;

bool sameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (upperCased(static_cast<unsigned char>(a[i])) !=
        upperCased(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool listed(const Game& g, const std::string& name) {
  for (int k = 1; k <= kPlayerSlots; ++k)
    if (sameName(g.playerList[k], name)) return true;
  return false;
}

int freeSlot(const Game& g) {
  for (int k = 1; k <= kPlayerSlots; ++k)
    if (g.playerList[k].empty()) return k;
  return 0;
}

bool readNames(Game& g, LineReader& in) {
  for (bool Game::*option : kOptions) {
    int v = 0;
    if (!in.integer(v)) return false;
    if (v == 0) g.*option = false;
  }
  if (!in.text(g.playerName)) return false;
  for (int k = 1; k <= kPlayerSlots; ++k)
    if (!in.text(g.playerList[k])) return false;
  return true;
}

bool writePlayerList(const std::array<bool, 4>& options, const std::string& playerName,
                     const std::array<std::string, kPlayerSlots + 1>& slots) {
  LineWriter out;
  for (bool on : options) out.integer(on ? 1 : 0);
  out.text(playerName);
  for (int k = 1; k <= kPlayerSlots; ++k) out.text(slots[k]);
  return replaceFile(kPlayerListFile, out.content());
}

}  // namespace

std::string typedCells(const Game& g) {
  std::string name;
  for (int i = 1; i <= g.typedCount; ++i) name += utf8(g.typedName[i]);
  return name;
}

bool loadgamenames(Game& g) {
  std::ifstream file(kPlayerListFile, std::ios::binary);
  if (!file) return false;
  LineReader in(file);
  const bool whole = readNames(g, in);
  noteRead(g.unreadFiles, kPlayerListFile, in);
  return whole;
}

bool savegamenames(Game& g) {
  if (!mayReplace(g.unreadFiles, kPlayerListFile)) return false;
  std::array<bool, 4> options{};
  for (size_t i = 0; i < options.size(); ++i) options[i] = g.*kOptions[i];
  return writePlayerList(options, g.playerName, g.playerList);
}

bool seedgamenames() {
  std::error_code ec;
  if (std::filesystem::exists(kPlayerListFile, ec)) return true;
  return writePlayerList({true, true, true, true}, kNewPlayerName, {});
}

bool addtogamelist(Game& g) {
  // Joined here as well as on screen, so keys typed since the last frame are part of the name.
  g.typedText = typedCells(g);
  const int slot = freeSlot(g);
  if (!safePlayerName(g.typedText) || listed(g, g.typedText) || slot == 0) {
    g.sound.beep();
    return false;
  }
  g.playerList[slot] = g.typedText;
  g.playerName = g.typedText;
  g.typedText.clear();
  g.typedCount = 0;
  g.typedName.fill(0);
  newplayerreset(g);
  savegamedata(g, g.playerName);
  g.nameEntryOpen = false;
  savegamenames(g);
  return true;
}

void FormKeyPress(Game& g, int key) {
  if (!g.nameEntryOpen) return;
  switch (key) {
    case kEnter:
      if (g.typedCount > 0) addtogamelist(g);
      return;
    case kEscape:
      return;  // the menu key, handled on key-down
    case kBackspace:
      if (g.typedCount > 0) g.typedName[g.typedCount--] = 0;
      return;
    default:
      break;
  }
  const auto c = static_cast<char32_t>(key);
  if (key < 0 || nameSpace(c) || !safeNameCharacter(c) || !g.canvas.canDraw(c)) {
    g.sound.beep();
    return;
  }
  if (g.typedCount < kNameLength) g.typedName[++g.typedCount] = upperCased(c);
}

}  // namespace mv
