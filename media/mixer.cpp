// SPDX-License-Identifier: GPL-3.0-or-later
// The SDL mixer as the sound backend: every voice is a mixer channel of its own.
#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>

#include <cmath>
#include <cstring>

#include "media/sound.h"

namespace mv {
namespace {

constexpr int kRate = 22050;

// A 25 ms tick: short enough that a beep on every frame sounds like a counter running.
std::vector<uint8_t> makeBeepWave() {
  const int samples = kRate * 25 / 1000;
  std::vector<uint8_t> wav(44 + samples * 2);
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&wav[at], &v, 4); };
  auto put16 = [&](size_t at, uint16_t v) { std::memcpy(&wav[at], &v, 2); };
  std::memcpy(&wav[0], "RIFF", 4);
  put32(4, static_cast<uint32_t>(wav.size() - 8));
  std::memcpy(&wav[8], "WAVEfmt ", 8);
  put32(16, 16);
  put16(20, 1);
  put16(22, 1);
  put32(24, kRate);
  put32(28, kRate * 2);
  put16(32, 2);
  put16(34, 16);
  std::memcpy(&wav[36], "data", 4);
  put32(40, samples * 2);
  for (int i = 0; i < samples; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double envelope = std::min(1.0, std::min(i, samples - i) / 40.0);
    const auto s = static_cast<int16_t>(6000.0 * envelope * std::sin(2 * M_PI * 1320.0 * t));
    put16(44 + i * 2, static_cast<uint16_t>(s));
  }
  return wav;
}

class MixerBackend : public SoundBackend {
 public:
  explicit MixerBackend(const std::vector<std::string>& files) {
    for (const std::string& f : files)
      chunks_.push_back(f.empty() ? nullptr : Mix_LoadWAV(f.c_str()));
    beepWave_ = makeBeepWave();
    beep_ =
        Mix_LoadWAV_RW(SDL_RWFromConstMem(beepWave_.data(), static_cast<int>(beepWave_.size())), 1);
    Mix_AllocateChannels(channels_ = 32);
  }
  ~MixerBackend() override {
    Mix_HaltChannel(-1);
    for (Mix_Chunk* c : chunks_)
      if (c) Mix_FreeChunk(c);
    if (beep_) Mix_FreeChunk(beep_);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  bool available() const override { return true; }
  int newVoice(int sound) override {
    if (sound < 0 || sound >= static_cast<int>(chunks_.size()) || !chunks_[sound]) return -1;
    const int channel = kFirstVoiceChannel + static_cast<int>(voiceChunk_.size());
    if (channel >= channels_) Mix_AllocateChannels(channels_ *= 2);
    voiceChunk_.push_back(chunks_[sound]);
    return static_cast<int>(voiceChunk_.size()) - 1;
  }
  bool playing(int voice) const override {
    return voice >= 0 && Mix_Playing(kFirstVoiceChannel + voice) != 0;
  }
  void start(int voice, bool looped) override {
    if (voice < 0) return;
    Mix_HaltChannel(kFirstVoiceChannel + voice);
    Mix_PlayChannel(kFirstVoiceChannel + voice, voiceChunk_[voice], looped ? -1 : 0);
  }
  void stop(int voice) override {
    if (voice >= 0) Mix_HaltChannel(kFirstVoiceChannel + voice);
  }
  void beep() override {
    if (!beep_) return;
    Mix_HaltChannel(kBeepChannel);
    Mix_PlayChannel(kBeepChannel, beep_, 0);
  }

 private:
  static constexpr int kBeepChannel = 0;
  static constexpr int kFirstVoiceChannel = 1;
  std::vector<Mix_Chunk*> chunks_;
  std::vector<Mix_Chunk*> voiceChunk_;
  std::vector<uint8_t> beepWave_;
  Mix_Chunk* beep_ = nullptr;
  int channels_ = 0;
};

// ALSA prints a screen of its own errors when there is no sound card. SDL loads the library
// at run time, so the same copy is loaded here (no link dependency) and given a handler that
// keeps quiet; the game says once itself that it plays silent.
void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void quietAlsa() {
  void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
  if (!alsa) return;
  using Handler = decltype(&ignoreAlsaError);
  if (auto setHandler =
          reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler")))
    setHandler(ignoreAlsaError);
}

}  // namespace

std::unique_ptr<SoundBackend> openMixerBackend(const std::vector<std::string>& files) {
  quietAlsa();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return std::make_unique<SilentBackend>();
  if (Mix_OpenAudio(kRate, AUDIO_S16SYS, 2, 1024) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return std::make_unique<SilentBackend>();
  }
  return std::make_unique<MixerBackend>(files);
}

}  // namespace mv
