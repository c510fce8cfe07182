// SPDX-License-Identifier: GPL-3.0-or-later
// Sound playback by index into the sound list. The copy-list rules live here, once; a voice
// backend (the SDL mixer, or a recorder for tests and headless runs) does the actual playing.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace mv {

// One playable copy of a recording is a "voice" of the backend.
class SoundBackend {
 public:
  virtual ~SoundBackend() = default;
  virtual bool available() const = 0;
  virtual int newVoice(int sound) = 0;  // a fresh copy of the sound, idle
  virtual bool playing(int voice) const = 0;
  virtual void start(int voice, bool looped) = 0;  // stop, rewind, start
  virtual void stop(int voice) = 0;
  virtual void beep() = 0;  // a short tick of our own, heard whatever the sound option says
};

class Sound {
 public:
  explicit Sound(std::unique_ptr<SoundBackend> backend, int soundCount);

  void playSound(int sound);
  void stopSound(int sound);
  void setSoundLooped(int sound, bool looped);
  void beep();

  bool looped(int sound) const;
  int copyCount(int sound) const;  // one-shot copies made so far
  SoundBackend& backend() { return *backend_; }

 private:
  struct Item {
    bool looped = false;
    int mainVoice = -1;       // used for looped play
    std::vector<int> copies;  // one-shot copies, oldest first
  };
  Item* item(int sound);

  std::unique_ptr<SoundBackend> backend_;
  std::vector<Item> items_;
};

// Logs every call and keeps copies "playing" until stopped or until advance() runs them out,
// so tests can see overlapping copies.
class RecordingBackend : public SoundBackend {
 public:
  explicit RecordingBackend(int lengthMs = 1000) : lengthMs_(lengthMs) {}
  bool available() const override { return true; }
  int newVoice(int sound) override;
  bool playing(int voice) const override;
  void start(int voice, bool looped) override;
  void stop(int voice) override;
  void beep() override { log.push_back("beep"); }

  void advance(int ms);  // one-shots older than the length end
  int playingCopies(int sound) const;

  std::vector<std::string> log;  // "play 3", "loop 0", "stop 3", "beep"

 private:
  struct Voice {
    int sound;
    bool looped = false;
    int remaining = 0;  // ms left; looped voices never run out
  };
  std::vector<Voice> voices_;
  int lengthMs_;
};

// No sound device: every call does nothing.
class SilentBackend : public SoundBackend {
 public:
  bool available() const override { return false; }
  int newVoice(int) override { return -1; }
  bool playing(int) const override { return false; }
  void start(int, bool) override {}
  void stop(int) override {}
  void beep() override {}
};

// The SDL mixer. Returns a silent backend when no sound device can be opened.
std::unique_ptr<SoundBackend> openMixerBackend(const std::vector<std::string>& files);

}  // namespace mv
