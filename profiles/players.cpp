// SPDX-License-Identifier: GPL-3.0-or-later
#include "profiles/players.h"

#include <array>
#include <filesystem>
#include <fstream>

#include "common/names.h"
#include "common/utf8.h"
#include "profiles/savefile.h"
#include "profiles/textfile.h"
#include "state/game.h"

namespace mv {
namespace {

constexpr bool Game::*kOptions[] = {&Game::soundOn, &Game::scaryOn, &Game::detailsOn,
                                    &Game::difficultyOn};

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

int newPlayerSlot(const Game& g, const std::string& name) {
  if (!safePlayerName(name) || listed(g, name)) return 0;
  return freeSlot(g);
}

}  // namespace mv
