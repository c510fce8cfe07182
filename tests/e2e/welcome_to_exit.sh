#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End to end under a virtual X display with a window manager: start the real program, click the
# welcome picture, see the whole main menu, click Exit, see the thank-you box that the game draws
# in its own window, confirm it with Return, and check that the program ends within 2 seconds,
# the score report reaches a local server and the terminal got no noise. Then the same for a
# player with the longest name of wide letters and a long leaderboard address, whose box must
# still hold every word.
#   welcome_to_exit.sh PATH/TO/morvane [SHOT_DIR]
# Clicks are instant (press and release at once), as a touchpad tap.
set -euo pipefail
game="$(realpath "$1")"
here="$(cd "$(dirname "$0")" && pwd)"
assets="$here/../../assets"
# shellcheck source=tests/e2e/harness.sh
source "$here/harness.sh"
keep_shots "${2:-}"
under_xvfb 110 "$0" "$game" "$shots"

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

# play_to_thanks NAME SHOT BASE: starts the game for player NAME reporting to BASE, goes through
# the welcome picture and the menu to Exit, checks the thank-you box in the game's own window
# (screenshot SHOT), confirms it with Return and sees the program end within 2 seconds.
play_to_thanks() {
  enter_player_folder "$1"
  MORVANE_SCORE_URL="$3" start_game 10 "$game"
  sleep 0.5
  import -window root "$shots/welcome.png"
  bright "$(brightness "$shots/welcome.png" 300 200 50 50)" || fail "the welcome picture is black"

  xdotool mousemove 200 150 click 1
  wait_for 10 "the whole main menu did not show" menu_shown

  # Exit is the menu's last entry, game (400, 495). After a black 2-second pause the thank-you
  # box shows over the black screen, in the game's window: no other window comes up.
  xdotool mousemove 640 594 click 1
  wait_for 15 "no thank-you box appeared after Exit" box_shown "$2"
  sleep 0.3
  import -window root "$2"
  [ "$(top_level_windows)" -eq 1 ] || fail "$(top_level_windows) windows show: $(wmctrl -l)"
  [ "$(xdotool search --onlyvisible --class morvane | wc -l)" -eq 1 ] ||
    fail "the game shows more than one window"
  check_box "$2" 160 1120 1.2
  grep -q "^morvane: Thank you $1 for playing\." "$work/err" || fail "no thank-you line on stderr"

  xdotool key Return
  wait_for 2 "the program still runs 2 s after Return in the thank-you box" ended "$game_pid"
  finished "$game_pid"
}

# report_arrived NAME PATH: the local score server got NAME's report at PATH.
report_arrived() {
  wait_for 5 "no score report arrived" test -s "$work/request"
  python3 - "$work/request" "$1" "$2" <<'PY'
import sys, urllib.parse
target = open(sys.argv[1]).read().strip()
path, _, query = target.partition("?")
fields = urllib.parse.parse_qs(query, keep_blank_values=True)
assert path == sys.argv[3], path
assert fields == {"action2": ["add"], "playername": [sys.argv[2] + " 1.7"], "level": ["1"], "score": ["0"]}, fields
PY
}

# start_score_server: a one-request server on a free port, in $port; its request in $work/request.
start_score_server() {
  rm -f "$work/port" "$work/request"
  start_in_background python3 "$here/score_server.py" "$work/port" "$work/request"
  wait_for 5 "the local score server did not start" test -s "$work/port"
  port="$(cat "$work/port")"
}

start_window_manager
expected_menu

start_score_server
play_to_thanks Tester "$shots/thanks.png" "http://127.0.0.1:$port"
report_arrived Tester /morvane/mv.asp
# Without a sound card the game says so once, and the sound library prints nothing of its own.
sound_lines="$(grep -ciE 'sound|alsa|audio|pcm' "$work/err" || true)"
[ "$sound_lines" -le 1 ] || fail "$sound_lines lines about sound on stderr"

# Twelve of the widest letters, and an address far wider than the box.
long_path="/leaderboards/morvane/the-players-of-the-spider-charm/season-one/all-levels/best-scores"
start_score_server
play_to_thanks ЖЖЖЖЖЖЖЖЖЖЖЖ "$shots/thanks-long-name.png" "http://127.0.0.1:$port$long_path"
report_arrived ЖЖЖЖЖЖЖЖЖЖЖЖ "$long_path/morvane/mv.asp"
echo "e2e: welcome, whole menu, the game's own thank-you box (also for a long name and address), exit and score report all seen; screenshots in $shots"
