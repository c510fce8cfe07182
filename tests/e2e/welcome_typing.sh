#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End to end: keys typed while the welcome picture shows do not reach the hidden game. A player
# named GUEST starts on the name entry screen, whose name field must still be empty after the
# welcome click, and fills as soon as a name is typed there.
#   welcome_typing.sh PATH/TO/morvane [SHOT_DIR]
set -euo pipefail
game="$(realpath "$1")"
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=tests/e2e/harness.sh
source "$here/harness.sh"
keep_shots "${2:-}"
under_xvfb 60 "$0" "$game" "$shots"

start_window_manager
enter_player_folder GUEST
start_game 10 "$game"
sleep 1
xdotool type --delay 30 WXYZ
xdotool mousemove 200 150 click 1
# The name entry panel (320 x 240 at game (255, 275)) shows over the menu; its name field is
# written at game (330, 410), screen (556, 492).
entry_shown() {
  import -window root "$shots/name_entry.png"
  more_than "$(brightest "$shots/name_entry.png" 40 40 600 360)" 0.3
}
wait_for 10 "the name entry screen did not show" entry_shown
sleep 0.5
import -window root "$shots/name_entry.png"
# Past the first character, where the blinking cursor of an empty field stands.
lit="$(brightest "$shots/name_entry.png" 130 22 568 488)"
more_than 0.3 "$lit" ||
  fail "the name field is not empty (brightest $lit): keys typed on the welcome picture reached the game"
# Typed now, a name does reach the field.
xdotool type --delay 30 AB
typed() {
  import -window root "$shots/name_typed.png"
  more_than "$(brightest "$shots/name_typed.png" 150 22 554 488)" 0.5
}
wait_for 5 "a name typed on the name entry screen did not show" typed
echo "e2e: keys typed on the welcome picture stayed there; typed on the game they arrive"
