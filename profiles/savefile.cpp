// SPDX-License-Identifier: GPL-3.0-or-later
#include "profiles/savefile.h"

#include <algorithm>
#include <fstream>
#include <string_view>

#include "common/names.h"
#include "items/cells.h"
#include "profiles/textfile.h"
#include "state/game.h"

namespace mv {

std::string playerFileName(const std::string& name) {
  return name + ".dat";
}

namespace {

// Adapts the line writer to the same calls as the reader, so that one routine below gives the
// file's order for both directions.
struct Writing {
  static constexpr bool kLoading = false;
  LineWriter out;
  bool integer(const int& v) {
    out.integer(v);
    return true;
  }
  bool text(const std::string& s) {
    out.text(s);
    return true;
  }
};

struct Reading {
  static constexpr bool kLoading = true;
  LineReader in;
  bool integer(int& v) { return in.integer(v); }
  bool text(std::string& s) { return in.text(s); }
};

template <class Io>
bool cell(Io& io, InventoryCell& c) {
  if (!(io.text(c.name) && io.text(c.text) && io.integer(c.kind) && io.integer(c.value) &&
        io.integer(c.width) && io.integer(c.height) && io.integer(c.dissolveCount)))
    return false;
  // A dissolve that was running when the file was written is not resumed.
  if constexpr (Io::kLoading) {
    c.dissolveCount = 0;
    c.dissolving = false;
  }
  return true;
}

// Every value of the file in its order; stops at the first value that cannot be read.
template <class Io>
bool playerFields(Io& io, Game& g) {
  if (!(io.integer(g.level) && io.integer(g.levelType) && io.integer(g.backgroundIndex) &&
        io.integer(g.score) && io.integer(g.hintStep) && io.integer(g.runePiecesGiven) &&
        io.integer(g.heldImage) && io.text(g.heldName) && io.text(g.heldText) &&
        io.integer(g.heldValue) && io.integer(g.heldWidth) && io.integer(g.heldHeight)))
    return false;
  // Inventory column by column, charm row by row.
  for (int col = 1; col <= kInventoryCols; ++col)
    for (int row = 1; row <= kInventoryRows; ++row)
      if (!cell(io, g.inventoryGrid[col][row])) return false;
  for (int row = 1; row <= kCharmRows; ++row)
    for (int col = 1; col <= kCharmCols; ++col)
      if (!cell(io, g.charmGrid[col][row])) return false;
  return true;
}

constexpr int kHintsDone = 5;

bool hasPicture(int kind) {
  return kind >= 0 && kind < kImageLists[static_cast<size_t>(ImageList::gemlist)].count;
}

// An item as the game could have made it, or no item.
template <class It>
void boundItem(It& item) {
  if (!hasPicture(item.kind)) {
    item = It{};
    return;
  }
  item.width = std::clamp(item.width, 0, 1);
  item.height = std::clamp(item.height, 0, 1);
  item.value = std::clamp(item.value, -kMaxItemValue, kMaxItemValue);
}

// Keeps every value the game can write and brings the impossible ones into range, so that a
// damaged or hand-edited file can't hang the game or overflow what counts with them.
void boundLoaded(Game& g) {
  g.level = std::min(g.level, kMaxLevel);
  g.score = std::clamp(g.score, -kMaxScore, kMaxScore);
  if (g.hintStep < 0 || g.hintStep > kHintsDone) g.hintStep = kHintsDone;
  if (g.runePiecesGiven < 0 || g.runePiecesGiven >= kRunePieces) g.runePiecesGiven = 0;
  Item held = helditem(g);
  boundItem(held);
  hold(g, held);
  for (auto& column : g.inventoryGrid)
    for (InventoryCell& c : column) boundItem(c);
  for (auto& column : g.charmGrid)
    for (InventoryCell& c : column) boundItem(c);
}

}  // namespace

bool savegamedata(Game& g, const std::string& name) {
  if (!safePlayerName(name) || !mayReplace(g.unreadFiles, playerFileName(name))) return false;
  Writing w;
  playerFields(w, g);
  return replaceFile(playerFileName(name), w.out.content());
}

bool hasSaveFile(const std::string& name) {
  return safePlayerName(name) && std::ifstream(playerFileName(name), std::ios::binary).good();
}

bool loadgamedata(Game& g, const std::string& name) {
  if (!safePlayerName(name)) return false;
  std::ifstream file(playerFileName(name), std::ios::binary);
  if (!file) return false;
  Reading r{LineReader(file)};
  const bool whole = playerFields(r, g);
  noteRead(g.unreadFiles, playerFileName(name), r.in);
  boundLoaded(g);
  return whole;
}

}  // namespace mv
