#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End to end: the message boxes of start-up, drawn by the game itself with nothing of the system.
# A missing catalogue is told in a small window of its own (the only window) and on stderr, and
# Return ends the program with a failure. A data folder that cannot be made is told over the
# welcome window; Return leaves the welcome picture to be played (Esc then ends the program), and
# the window manager's close of the welcome window while the warning shows ends the program.
#   startup_boxes.sh PATH/TO/morvane [SHOT_DIR]
set -euo pipefail
game="$(realpath "$1")"
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=tests/e2e/harness.sh
source "$here/harness.sh"
keep_shots "${2:-}"
under_xvfb 100 "$0" "$game" "$shots"

# ended_within SECONDS STATUS WHAT: the game ends within SECONDS with exit status STATUS.
ended_within() {
  wait_for "$1" "the program still runs $1 s after $3" ended "$game_pid"
  local status=0
  wait "$game_pid" || status=$?
  forget "$game_pid"
  [ "$status" -eq "$2" ] || fail "the program ended with $status after $3, not $2"
}
# The warning's box in the middle of the welcome window, whose picture (400 x 300 at its top
# left) is left out of the measure.
warning_shown() {
  import -window root "$shots/startup-warning.png"
  convert "$shots/startup-warning.png" -fill black -draw "rectangle 0,0 399,299" "$work/warning.png"
  box_drawn "$work/warning.png"
}

start_window_manager
enter_player_folder Tester
# The session's temporary data folder goes to the scratch folder.
export TMPDIR="$work"

# No catalogue: the box comes up in a window of its own, as large as the window manager makes it,
# the box unscaled in its middle.
MORVANE_ASSETS="$work/no-catalogue" start_game 10 "$game"
wait_for 5 "no box about the missing catalogue" box_shown "$shots/startup-no-catalogue.png"
[ "$(top_level_windows)" -eq 1 ] || fail "$(top_level_windows) windows show: $(wmctrl -l)"
check_box "$shots/startup-no-catalogue.png" 0 1280 1
grep -q "^morvane: cannot read the asset manifest: $work/no-catalogue/manifest.txt" "$work/err" ||
  fail "the missing catalogue was not told on stderr"
xdotool key Return
ended_within 2 1 "Return in the box about the missing catalogue"

# A data folder under a file cannot be made: the warning shows over the welcome window.
XDG_DATA_HOME=/dev/null/data start_game 10 "$game"
wait_for 10 "no warning about the data folder" warning_shown
[ "$(top_level_windows)" -eq 1 ] || fail "$(top_level_windows) windows show: $(wmctrl -l)"
check_box "$work/warning.png" 0 1280 1
grep -q "^morvane: Morvane cannot keep its player files in /dev/null/data/morvane" "$work/err" ||
  fail "the warning was not told on stderr"
xdotool key Return
welcome_again() {
  import -window root "$work/welcome.png"
  ! more_than "$(brightest "$work/welcome.png" 200 60 540 330)" 0.05 &&
    more_than "$(brightness "$work/welcome.png" 300 200 50 50)" 0.05
}
wait_for 2 "the warning did not give way to the welcome picture" welcome_again
xdotool key Escape
ended_within 2 0 "Esc on the welcome picture"

# Closing the welcome window while the warning shows ends the program.
XDG_DATA_HOME=/dev/null/data start_game 10 "$game"
wait_for 10 "no warning about the data folder" warning_shown
wmctrl -c Morvane || fail "the window manager found no window to close"
ended_within 2 0 "the welcome window was closed with the warning on it"
echo "e2e: the missing catalogue's box, the data folder's warning, OK, Esc and close all seen; screenshots in $shots"
