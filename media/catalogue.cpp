// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/catalogue.h"

#include <SDL.h>
#include <SDL_image.h>

#include <charconv>
#include <fstream>
#include <sstream>

namespace mv {
namespace {

int listIndex(std::string_view name) {
  for (size_t i = 0; i < kImageLists.size(); ++i)
    if (kImageLists[i].name == name) return static_cast<int>(i);
  return -1;
}

[[noreturn]] void fail(const std::string& what, const std::string& file) {
  throw AssetError(what + ": " + file);
}

// The optional transparency flag (0 or 1) and key colour (0xBBGGRR) that end an image line.
void readFlagAndKey(std::istringstream& fields, const std::string& where, bool& transparent,
                    uint32_t& key) {
  transparent = true;
  key = 0;
  std::string flag, hex, rest;
  if (!(fields >> flag)) return;
  if (flag != "0" && flag != "1")
    fail("bad transparency flag (0 or 1) in the asset manifest", where);
  transparent = flag == "1";
  if (!(fields >> hex)) return;
  const char* first = hex.data() + (hex.rfind("0x", 0) == 0 || hex.rfind("0X", 0) == 0 ? 2 : 0);
  const char* last = hex.data() + hex.size();
  const auto [end, err] = std::from_chars(first, last, key, 16);
  if (first == last || err != std::errc() || end != last || key > 0xFFFFFF || fields >> rest)
    fail("bad key colour (0xBBGGRR) in the asset manifest", where);
}

}  // namespace

Catalogue::Catalogue() {
  for (size_t i = 0; i < kImageLists.size(); ++i) {
    images_[i].resize(kImageLists[i].count);
    entries_[i].resize(kImageLists[i].count);
  }
  sounds_.resize(kSoundCount);
}

void Catalogue::readManifest(const std::string& dir) {
  const std::string path = dir + "/manifest.txt";
  std::ifstream in(path);
  if (!in) fail("cannot read the asset manifest", path);
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::istringstream fields(line);
    std::string list, file;
    int index = -1;
    if (!(fields >> list)) continue;
    const std::string where = path + " line " + std::to_string(lineNo);
    if (!(fields >> index >> file)) fail("broken manifest entry", where);
    if (list == kSoundListName) {
      if (index < 0 || index >= kSoundCount) fail("sound index out of range", where);
      sounds_[index] = dir + "/" + file;
      continue;
    }
    const int li = listIndex(list);
    if (li < 0 || index < 0 || index >= kImageLists[li].count)
      fail("unknown image list or index", where);
    Entry& e = entries_[li][index];
    readFlagAndKey(fields, where, e.transparent, e.key);
    e.file = file == "-" ? std::string() : dir + "/" + file;
  }
}

void Catalogue::loadImages(const std::function<bool(ImageList)>& which) {
  for (size_t li = 0; li < kImageLists.size(); ++li) {
    if (which && !which(static_cast<ImageList>(li))) continue;
    for (size_t i = 0; i < entries_[li].size(); ++i) {
      const Entry& e = entries_[li][i];
      Image img = e.file.empty() ? Image{} : loadImageFile(e.file, e.transparent, e.key);
      img.transparent = e.transparent;
      img.keyColour = e.key;
      images_[li][i] = std::move(img);
    }
  }
}

void Catalogue::checkSounds() const {
  for (const std::string& file : sounds_) {
    if (file.empty()) continue;
    std::ifstream in(file, std::ios::binary);
    char riff[4] = {};
    if (!in.read(riff, 4) || std::string_view(riff, 4) != "RIFF")
      fail("cannot read the sound file", file);
  }
}

Image& Catalogue::image(ImageList list, int index) {
  auto& v = images_[static_cast<size_t>(list)];
  if (index < 0 || index >= static_cast<int>(v.size())) return none_ = Image{};
  return v[index];
}

const Image& Catalogue::image(ImageList list, int index) const {
  const auto& v = images_[static_cast<size_t>(list)];
  if (index < 0 || index >= static_cast<int>(v.size())) return none_;
  return v[index];
}

const std::string& Catalogue::soundFile(int index) const {
  static const std::string none;
  return index >= 0 && index < kSoundCount ? sounds_[index] : none;
}

void Catalogue::setImage(ImageList list, int index, Image img) {
  auto& v = images_[static_cast<size_t>(list)];
  if (index >= 0 && index < static_cast<int>(v.size())) v[index] = std::move(img);
}

Image loadImageFile(const std::string& path, bool transparent, uint32_t keyColour) {
  SDL_Surface* raw = IMG_Load(path.c_str());
  if (!raw) fail("cannot read the picture file", path);
  SDL_Surface* s = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_RGB565, 0);
  SDL_FreeSurface(raw);
  if (!s) fail("cannot convert the picture file", path);
  std::vector<uint16_t> px(static_cast<size_t>(s->w) * s->h);
  for (int y = 0; y < s->h; ++y) {
    const auto* row = reinterpret_cast<const uint16_t*>(static_cast<const uint8_t*>(s->pixels) +
                                                        static_cast<size_t>(y) * s->pitch);
    std::copy(row, row + s->w, px.begin() + static_cast<ptrdiff_t>(y) * s->w);
  }
  Image img = Image::fromPixels(s->w, s->h, std::move(px), transparent, keyColour);
  SDL_FreeSurface(s);
  return img;
}

}  // namespace mv
