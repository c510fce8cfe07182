#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the two Debian packages from a build folder into OUT_DIR (emptied first), as
# `cd build && cpack -G DEB` does, and lists them.
#   make_debs.sh BUILD_DIR OUT_DIR
set -euo pipefail
build="$(realpath "$1")"
out="$2"
rm -rf "$out"
mkdir -p "$out"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$(realpath "$out")" >"$out/cpack.log" 2>&1 || {
  cat "$out/cpack.log" >&2
  exit 1
}
ls "$out"/morvane_*.deb "$out"/morvane-scores_*.deb
