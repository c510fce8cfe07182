// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/sound.h"

namespace mv {

Sound::Sound(std::unique_ptr<SoundBackend> backend, int soundCount)
    : backend_(std::move(backend)), items_(soundCount) {}

Sound::Item* Sound::item(int sound) {
  if (sound < 0 || sound >= static_cast<int>(items_.size()) || !backend_->available())
    return nullptr;
  return &items_[sound];
}

void Sound::playSound(int sound) {
  Item* it = item(sound);
  if (!it) return;
  if (it->looped) {
    if (it->mainVoice < 0) it->mainVoice = backend_->newVoice(sound);
    backend_->start(it->mainVoice, true);
    return;
  }
  // Reuse the oldest idle copy; with no copy limit, add one when all are busy.
  int chosen = -1;
  for (int v : it->copies)
    if (!backend_->playing(v)) {
      chosen = v;
      break;
    }
  if (chosen < 0) {
    chosen = backend_->newVoice(sound);
    if (chosen < 0) return;
    it->copies.push_back(chosen);
  }
  backend_->start(chosen, false);
}

void Sound::stopSound(int sound) {
  Item* it = item(sound);
  if (!it) return;
  if (it->mainVoice >= 0) backend_->stop(it->mainVoice);
  for (int v : it->copies) backend_->stop(v);
}

void Sound::setSoundLooped(int sound, bool looped) {
  Item* it = item(sound);
  if (!it || it->looped == looped) return;
  stopSound(sound);
  it->looped = looped;
}

void Sound::beep() {
  if (backend_->available()) backend_->beep();
}

bool Sound::looped(int sound) const {
  return sound >= 0 && sound < static_cast<int>(items_.size()) && items_[sound].looped;
}

int Sound::copyCount(int sound) const {
  return sound >= 0 && sound < static_cast<int>(items_.size())
             ? static_cast<int>(items_[sound].copies.size())
             : 0;
}

int RecordingBackend::newVoice(int sound) {
  voices_.push_back({sound});
  return static_cast<int>(voices_.size()) - 1;
}

bool RecordingBackend::playing(int voice) const {
  const Voice& v = voices_.at(voice);
  return v.looped || v.remaining > 0;
}

void RecordingBackend::start(int voice, bool looped) {
  Voice& v = voices_.at(voice);
  v.looped = looped;
  v.remaining = lengthMs_;
  log.push_back((looped ? "loop " : "play ") + std::to_string(v.sound));
}

void RecordingBackend::stop(int voice) {
  Voice& v = voices_.at(voice);
  if (playing(voice)) log.push_back("stop " + std::to_string(v.sound));
  v.looped = false;
  v.remaining = 0;
}

void RecordingBackend::advance(int ms) {
  for (Voice& v : voices_)
    if (!v.looped) v.remaining = v.remaining > ms ? v.remaining - ms : 0;
}

int RecordingBackend::playingCopies(int sound) const {
  int n = 0;
  for (size_t i = 0; i < voices_.size(); ++i)
    if (voices_[i].sound == sound && playing(static_cast<int>(i))) ++n;
  return n;
}

}  // namespace mv
