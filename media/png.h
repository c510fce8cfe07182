// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the back buffer to a PNG file (tests, frame dumper, benchmark).
#pragma once

#include <string>

#include "media/screen.h"

namespace mv {

// Returns false if the file cannot be written.
bool writePng(const Screen& screen, const std::string& path);

}  // namespace mv
