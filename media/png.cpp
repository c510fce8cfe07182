// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/png.h"

#include <SDL.h>
#include <SDL_image.h>

namespace mv {

bool writePng(const Screen& screen, const std::string& path) {
  SDL_Surface* s =
      SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint16_t*>(screen.pixels()), kScreenW, kScreenH,
                                         16, kScreenW * 2, SDL_PIXELFORMAT_RGB565);
  if (!s) return false;
  SDL_Surface* rgb = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_RGB24, 0);
  SDL_FreeSurface(s);
  if (!rgb) return false;
  const bool ok = IMG_SavePNG(rgb, path.c_str()) == 0;
  SDL_FreeSurface(rgb);
  return ok;
}

}  // namespace mv
