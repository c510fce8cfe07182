// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/sound.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

struct Recorded {
  RecordingBackend* rec;
  Sound sound;
  Recorded() : Recorded(std::make_unique<RecordingBackend>(1000)) {}
  explicit Recorded(std::unique_ptr<RecordingBackend> b) : rec(b.get()), sound(std::move(b), 23) {}
};

TEST(Sound, OverlappingOneShotsAddCopiesAndStopSilencesAll) {
  Recorded r;
  r.sound.playSound(5);
  r.rec->advance(100);
  r.sound.playSound(5);
  EXPECT_EQ(r.rec->playingCopies(5), 2) << "the second play overlaps, it does not restart";
  EXPECT_EQ(r.sound.copyCount(5), 2);
  r.sound.stopSound(5);
  EXPECT_EQ(r.rec->playingCopies(5), 0);
  EXPECT_EQ(r.rec->log, (std::vector<std::string>{"play 5", "play 5", "stop 5", "stop 5"}));
}

TEST(Sound, IdleCopiesAreReusedOldestFirst) {
  Recorded r;
  r.sound.playSound(7);
  r.sound.playSound(7);
  r.rec->advance(2000);  // both ended
  r.sound.playSound(7);
  EXPECT_EQ(r.sound.copyCount(7), 2);
  EXPECT_EQ(r.rec->playingCopies(7), 1);
  r.sound.stopSound(7);
  r.sound.playSound(7);
  EXPECT_EQ(r.sound.copyCount(7), 2) << "stopped copies stay in the list for reuse";
}

TEST(Sound, LoopedSoundRestartsItsMainCopyInsteadOfDoubling) {
  Recorded r;
  r.sound.playSound(0);
  r.sound.setSoundLooped(0, true);
  EXPECT_EQ(r.rec->playingCopies(0), 0) << "changing the looped flag stops the sound";
  r.sound.playSound(0);
  r.sound.playSound(0);
  EXPECT_EQ(r.rec->playingCopies(0), 1);
  r.rec->advance(60000);
  EXPECT_EQ(r.rec->playingCopies(0), 1) << "a looped sound never runs out";
  r.sound.setSoundLooped(0, true);  // no change: keeps playing
  EXPECT_EQ(r.rec->playingCopies(0), 1);
  r.sound.stopSound(0);
  EXPECT_EQ(r.rec->playingCopies(0), 0);
  EXPECT_EQ(r.rec->log,
            (std::vector<std::string>{"play 0", "stop 0", "loop 0", "loop 0", "stop 0"}));
}

TEST(Sound, NoDeviceMeansSilenceAndOutOfRangeIsIgnored) {
  Sound silent(std::make_unique<SilentBackend>(), 23);
  silent.playSound(3);
  silent.setSoundLooped(0, true);
  silent.stopSound(3);
  silent.beep();
  EXPECT_EQ(silent.copyCount(3), 0);

  Recorded r;
  r.sound.playSound(-1);
  r.sound.playSound(23);
  r.sound.beep();
  EXPECT_EQ(r.rec->log, (std::vector<std::string>{"beep"}));
}

TEST(Sound, MixerWithoutDeviceOrWithDummyDriverNeverFails) {
  auto backend = openMixerBackend({"/nonexistent.wav"});
  Sound sound(std::move(backend), 1);
  sound.playSound(0);  // a file that failed to load plays nothing
  sound.beep();
  sound.stopSound(0);
  SUCCEED();
}

}  // namespace
}  // namespace mv
