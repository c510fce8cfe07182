// SPDX-License-Identifier: GPL-3.0-or-later
// A headless game for tests: its own screen, text canvas, recording sound sink and catalogue.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "state/game.h"

namespace mv::test {

struct Headless {
  Screen screen;
  TextCanvas canvas{screen};
  RecordingBackend* sounds = new RecordingBackend();
  Sound sound{std::unique_ptr<SoundBackend>(sounds), kSoundCount};
  Catalogue cat;
  Game game{screen, canvas, sound, cat, 12345};
};

class GameTest : public ::testing::Test {
 protected:
  Headless h;
  Game& g = h.game;
};

}  // namespace mv::test
