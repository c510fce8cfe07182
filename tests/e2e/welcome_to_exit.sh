#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End to end under a virtual X display with a window manager: start the real program, click the
# welcome picture, see the whole main menu, click Exit, dismiss the thank-you box, and check that
# the program ends, the score report reaches a local server and the terminal got no noise.
#   welcome_to_exit.sh PATH/TO/morvane [SHOT_DIR]
# Clicks are instant (press and release at once), as a touchpad tap.
set -euo pipefail
game="$(realpath "$1")"
here="$(cd "$(dirname "$0")" && pwd)"
assets="$here/../../assets"
# shellcheck source=tests/e2e/harness.sh
source "$here/harness.sh"
keep_shots "${2:-}"
under_xvfb 90 "$0" "$game" "$shots"

bright() { more_than "$1" 0.05; }

# The 1280 x 720 display shows the 800 x 600 picture at 1.2 times between 160-pixel bars, so the
# menu page (700 x 600 at game (50, 0)) fills screen x 220..1060. Boxes spread over the whole
# picture: frame left, right and bottom, web, title, moon, entries panel, Exit; and both bars.
menu_boxes=("12 100 222 300" "12 100 1046 300" "200 8 540 710" "40 40 248 28" "40 30 620 200"
  "30 30 907 99" "40 40 620 420" "40 20 620 585")
expected_menu() {
  convert -size 1280x720 xc:black \( "$assets/selectlist/04.png" -resize 840x720\! \) \
    -geometry +220+0 -composite "$work/menu_expected.png"
}
# Every box within 0.06 of the expected colour, and both bars black.
menu_shown() {
  local shot="$shots/menu.png" box got want
  import -window root "$shot"
  for box in "${menu_boxes[@]}"; do
    # shellcheck disable=SC2086
    got="$(mean_rgb "$shot" $box)"
    # shellcheck disable=SC2086
    want="$(mean_rgb "$work/menu_expected.png" $box)"
    colours_near "$got" "$want" 0.06 || {
      echo "(box $box: mean colour $got, want $want)" >"$work/why"
      return 1
    }
  done
  if bright "$(brightness "$shot" 150 720 0 0)" ||
    bright "$(brightness "$shot" 150 720 1130 0)"; then
    echo "(the bars are not black)" >"$work/why"
    return 1
  fi
}

start_window_manager
start_in_background python3 "$here/score_server.py" "$work/port" "$work/request"
wait_for 5 "the local score server did not start" test -s "$work/port"

enter_player_folder Tester
expected_menu
MORVANE_SCORE_URL="http://127.0.0.1:$(cat "$work/port")" start_game 10 "$game"
sleep 0.5
import -window root "$shots/welcome.png"
bright "$(brightness "$shots/welcome.png" 300 200 50 50)" || fail "the welcome picture is black"

xdotool mousemove 200 150 click 1
wait_for 10 "the whole main menu did not show" menu_shown

# Exit is the menu's last entry, game (400, 495).
xdotool mousemove 640 594 click 1
# After the black 2-second pause comes the thank-you box, a second window the manager shows.
two_windows() { [ "$(wmctrl -l | grep -c ' Morvane$')" -ge 2 ]; }
wait_for 15 "no thank-you box appeared after Exit" two_windows
sleep 0.5
import -window root "$shots/thanks.png"
xdotool key Return
wait_for 5 "the program still runs after OK in the thank-you box" ended "$game_pid"
finished "$game_pid"

[ -s "$work/request" ] || fail "no score report arrived"
python3 - "$work/request" <<'PY'
import sys, urllib.parse
target = open(sys.argv[1]).read().strip()
path, _, query = target.partition("?")
fields = urllib.parse.parse_qs(query, keep_blank_values=True)
assert path == "/morvane/mv.asp", path
assert fields == {"action2": ["add"], "playername": ["Tester 1.7"], "level": ["1"], "score": ["0"]}, fields
PY

# Without a sound card the game says so once, and the sound library prints nothing of its own.
sound_lines="$(grep -ciE 'sound|alsa|audio|pcm' "$work/err" || true)"
[ "$sound_lines" -le 1 ] || fail "$sound_lines lines about sound on stderr"
echo "e2e: welcome, whole menu, exit and score report all seen; screenshots in $shots"
