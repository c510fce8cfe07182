#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End to end: started with no display at all (no DISPLAY, no Wayland, no driver named), the
# program says so on one line and stops with a failure within 5 seconds, leaving its working
# folder as it was.
#   no_display.sh PATH/TO/morvane
set -euo pipefail
game="$(realpath "$1")"
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=tests/e2e/harness.sh
source "$here/harness.sh"

enter_player_folder Tester
before="$(ls -lA --time-style=full-iso)"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout -s KILL 5 "$game" \
  >"$work/out" 2>"$work/err" || status=$?
[ "$status" -ne 137 ] || fail "the program was still running after 5 s"
[ "$status" -ne 0 ] || fail "the program ended with success without a display"
grep -q '^morvane: no display found' "$work/err" ||
  fail "no message about the missing display: $(cat "$work/err")"
[ "$(ls -lA --time-style=full-iso)" = "$before" ] || fail "the working folder changed: $(ls -lA)"
echo "e2e: without a display the program said so and stopped ($status)"
