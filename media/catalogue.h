// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue of pictures and sounds: thirteen image lists, the welcome picture and the sound
// list, addressed by list and index. The files and their flags come from assets/manifest.txt.
#pragma once

#include <array>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "media/image.h"

namespace mv {

enum class ImageList {
  spiderlist,
  symbollist,
  selectlist,
  gemlist,
  explist,
  booklist,
  fontlist1,
  levellist,
  tilelist,
  helplist,
  animationList,
  puzzlelist,
  roundtilelist,
  welcome,  // the welcome window's own picture, not one of the game's lists
};

struct ListInfo {
  std::string_view name;
  int count;
};

inline constexpr std::array<ListInfo, 14> kImageLists = {{
    {"spiderlist", 13},
    {"symbollist", 9},
    {"selectlist", 18},
    {"gemlist", 41},
    {"explist", 20},
    {"booklist", 2},
    {"fontlist1", 37},
    {"levellist", 6},
    {"tilelist", 15},
    {"helplist", 13},
    {"animationList", 27},
    {"puzzlelist", 5},
    {"roundtilelist", 15},
    {"welcome", 1},
}};
inline constexpr std::string_view kSoundListName = "DXWaveList";
inline constexpr int kSoundCount = 23;

// A missing or unreadable asset; the message names the file.
class AssetError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Catalogue {
 public:
  Catalogue();

  // Reads the manifest of the assets folder `dir`. Throws AssetError if it is missing or broken.
  void readManifest(const std::string& dir);
  // Loads the pictures of the lists `which` accepts. Throws AssetError naming a bad file.
  void loadImages(const std::function<bool(ImageList)>& which = {});
  // Checks that every sound file of the manifest can be opened as a wave file.
  void checkSounds() const;

  // Item `index` of `list`; an index outside the list gives an empty item that draws nothing.
  Image& image(ImageList list, int index);
  const Image& image(ImageList list, int index) const;
  // Path of sound `index`, empty when the catalogue has none.
  const std::string& soundFile(int index) const;

  // Puts a picture in place, for tests and tools that build their own.
  void setImage(ImageList list, int index, Image img);

 private:
  struct Entry {
    std::string file;  // empty: no picture
    bool transparent = true;
    uint32_t key = 0;
  };
  std::array<std::vector<Image>, kImageLists.size()> images_;
  std::array<std::vector<Entry>, kImageLists.size()> entries_;
  std::vector<std::string> sounds_;
  Image none_;
};

// Loads one picture file and converts it to RGB565. Throws AssetError naming the file.
Image loadImageFile(const std::string& path, bool transparent, uint32_t keyColour);

}  // namespace mv
