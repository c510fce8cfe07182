# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Shared by the end-to-end scripts (sourced): failing with a message, bounded waits, the virtual
# display with its window manager, a player folder to start the game in, held clicks, the game's
# message boxes, and colour measures of screenshots.

# Logs shown after the message when a script fails, each line marked with its file's name.
e2e_logs=()
show_on_failure() { e2e_logs+=("$@"); }

fail() {
  echo "e2e: $*" >&2
  local log
  for log in "${e2e_logs[@]}"; do
    [ -s "$log" ] && sed "s|^|$(basename "$log" .log): |" "$log" >&2
  done
  exit 1
}

# wait_for SECONDS WHAT COMMAND...: runs COMMAND every 0.1 s until it succeeds; fails saying what
# did not come about when SECONDS have passed, with the reason COMMAND last left in $work/why.
wait_for() {
  local secs="$1" what="$2"
  shift 2
  local deadline=$(($(date +%s%N) + secs * 1000000000))
  rm -f "$work/why"
  until "$@" >/dev/null 2>&1; do
    [ "$(date +%s%N)" -lt "$deadline" ] || fail "waited $secs s, but $what $(cat "$work/why" 2>/dev/null)"
    sleep 0.1
  done
}

# Runs the calling script again inside a 1280 x 720 virtual X display, killed after SECONDS
# whatever happens.
#   under_xvfb SECONDS "$0" ARGS...
under_xvfb() {
  [ -n "${E2E_INNER:-}" ] && return 0
  local secs="$1"
  shift
  export E2E_INNER=1
  rm -rf "$work" # exec skips the exit trap; the inner run makes its own
  exec timeout -s KILL "$secs" xvfb-run -a -s "-screen 0 1280x720x24" bash "$@"
}

# keep_shots [DIR]: screenshots go to DIR, made if missing, or else to a new temporary folder,
# named by an absolute path in $shots (the scripts change folder).
keep_shots() {
  shots="${1:-$(mktemp -d)}"
  mkdir -p "$shots"
  shots="$(realpath "$shots")"
}

# The processes started here, killed on exit with the scratch folder.
e2e_pids=()
e2e_cleanup() {
  for p in "${e2e_pids[@]}"; do
    kill -9 "$p" 2>/dev/null || true
    wait "$p" 2>/dev/null || true
  done
  rm -rf "$work"
}
work="$(mktemp -d)"
trap e2e_cleanup EXIT

# start_in_background COMMAND...: starts COMMAND, to be killed on exit; its id in $last_pid.
start_in_background() {
  "$@" &
  last_pid=$!
  e2e_pids+=("$last_pid")
}

# forget PID: PID has been waited for, so its number may be reused; no longer kill it on exit.
forget() {
  local p kept=()
  for p in "${e2e_pids[@]}"; do [ "$p" = "$1" ] || kept+=("$p"); done
  e2e_pids=("${kept[@]}")
}

# ended PID: succeeds once PID no longer runs.
ended() { ! kill -0 "$1" 2>/dev/null; }

# finished PID [WHO]: takes PID's exit status, failing unless WHO (the program) ended with success.
finished() {
  local status=0
  wait "$1" || status=$?
  forget "$1"
  [ "$status" -eq 0 ] || fail "${2:-the program} ended with a failure ($status)"
}

start_window_manager() { start_in_background matchbox-window-manager -use_titlebar no >/dev/null 2>&1; }

# The game opens real X windows, whatever driver the unit tests' environment names.
export SDL_VIDEODRIVER=x11

# A player folder naming NAME as the current player (gamenames.dat: four options on, the name,
# then the five slots), made where the game keeps its data and entered, so the game finds it
# whether it reads its working folder or its data folder.
enter_player_folder() {
  export XDG_DATA_HOME="$work/data"
  local dir="$XDG_DATA_HOME/morvane"
  mkdir -p "$dir"
  printf '1\r\n1\r\n1\r\n1\r\n%s\r\n%s\r\n\r\n\r\n\r\n\r\n' "$1" "$1" >"$dir/gamenames.dat"
  cd "$dir" || fail "cannot enter $dir"
}

# A visible top-level window titled exactly Morvane.
morvane_window() { xdotool search --onlyvisible --name '^Morvane$'; }

# start_game SECONDS COMMAND...: starts the game, its output in $work/out and $work/err (both
# shown on failure) and its id in $game_pid, and waits up to SECONDS for its welcome window.
start_game() {
  local secs="$1"
  shift
  show_on_failure "$work/out" "$work/err"
  start_in_background "$@" >"$work/out" 2>"$work/err"
  # shellcheck disable=SC2034 # read by the calling script
  game_pid=$last_pid
  wait_for "$secs" "no welcome window appeared" morvane_window
}

# held_click X Y: presses the left button for a few frames at screen (X, Y), as a hand would; the
# game samples the button once a frame.
held_click() { xdotool mousemove "$1" "$2" mousedown 1 sleep 0.15 mouseup 1; }

# confirm_until_ended SECONDS PID: the thank-you box comes after a black pause and is confirmed
# with Return; as keys pressed before a box shows are dropped, presses it every half second until
# PID ends, then checks it ended with success.
confirm_until_ended() {
  wait_for "$1" "the program still runs after its thank-you box was confirmed" confirm_once "$2"
  finished "$2"
}
confirm_once() {
  ended "$1" && return 0
  xdotool key Return
  sleep 0.4
  ended "$1"
}

# top_level_windows: how many windows the window manager shows (the game's welcome or game window
# alone; a system dialog would be a second one).
top_level_windows() { wmctrl -l | wc -l; }

# box_area SHOT: "W H X Y" of everything drawn in SHOT that is not black.
box_area() { convert "$1" -fuzz 4% -trim -format '%w %h %[fx:page.x] %[fx:page.y]' info:; }

# box_drawn SHOT: something is drawn in the middle of SHOT, which is black at its top-left corner
# (a message box over the black exit screen). box_shown SHOT: the same of a screenshot taken now.
box_drawn() {
  more_than "$(brightest "$1" 200 60 540 330)" 0.3 && ! more_than "$(brightest "$1" 100 100 0 0)" 0.05
}
box_shown() {
  import -window root "$1"
  box_drawn "$1"
}

# check_box SHOT LEFT RIGHT SCALE: the game's message box, alone on black in SHOT, lies within
# screen columns LEFT..RIGHT (the picture, shown at SCALE) with the margin it keeps, in their
# middle; its gold frame runs 9 to 10 pixels inside its edges at three places on every side;
# nothing brighter than the wood lies outside the gold line, so every letter is inside it; there
# is text in it; and its OK button, centred at its bottom, shows the cream OK in a gold frame.
check_box() {
  local shot="$1" left="$2" right="$3" scale="$4" w h x y
  read -r w h x y <<<"$(box_area "$shot")"
  local margin edge
  margin="$(awk -v s="$scale" 'BEGIN { printf "%d", 20 * s }')"
  [ "$x" -ge $((left + margin)) ] && [ $((x + w)) -le $((right - margin)) ] &&
    [ "$y" -ge "$margin" ] && [ $((y + h)) -le $((720 - margin)) ] ||
    fail "the box (${w}x$h at $x,$y) is not inside the picture ($left..$right) with its margin"
  [ $((2 * x + w - left - right)) -le 4 ] && [ $((2 * x + w - left - right)) -ge -4 ] &&
    [ $((2 * y + h - 720)) -le 4 ] && [ $((2 * y + h - 720)) -ge -4 ] ||
    fail "the box (${w}x$h at $x,$y) is not in the middle of the picture"
  # gold W H X Y DX DY: one of the lines W x H at (X, Y) moved 0 to 5 times by (DX, DY) is gold.
  gold() {
    local i got
    for i in 0 1 2 3 4 5; do
      got="$(mean_rgb "$shot" "$1" "$2" $(($3 + i * $5)) $(($4 + i * $6)))"
      awk -v c="$got" 'BEGIN { split(c, v); exit !(v[1] > 0.45 && v[2] > 0.33 && v[3] < 0.25) }' &&
        return 0
    done
    fail "no gold line at ${1}x$2+$3+$4 moved by $5,$6 in the box (${w}x$h at $x,$y)"
  }
  # The gold line stands 8 to 10 picture pixels inside the box's edges.
  local f near far
  near="$(awk -v s="$scale" 'BEGIN { printf "%d", 8 * s - 1 }')"
  far=$((near + 1))
  for f in 1 2 3; do
    gold 20 1 $((x + w * f / 4 - 10)) $((y + near)) 0 1
    gold 20 1 $((x + w * f / 4 - 10)) $((y + h - far)) 0 -1
    gold 1 20 $((x + near)) $((y + h * f / 4 - 10)) 1 0
    gold 1 20 $((x + w - far)) $((y + h * f / 4 - 10)) -1 0
  done
  for edge in "$w 8 $x $y" "$w 8 $x $((y + h - 8))" "8 $h $x $y" "8 $h $((x + w - 8)) $y"; do
    # shellcheck disable=SC2086
    ! more_than "$(brightest "$shot" $edge)" 0.6 || fail "something bright on the box's frame ($edge)"
  done
  more_than "$(brightest "$shot" $((w - 60)) 30 $((x + 30)) $((y + 20)))" 0.8 ||
    fail "no text at the top of the box"
  local bw bh bx by
  bw="$(awk -v s="$scale" 'BEGIN { printf "%d", 54 * s }')"
  bh="$(awk -v s="$scale" 'BEGIN { printf "%d", 42 * s }')"
  bx=$((x + (w - bw) / 2))
  by=$((y + h - $(awk -v s="$scale" 'BEGIN { printf "%d", 19 * s }') - bh))
  more_than "$(brightest "$shot" $((bw / 2)) $((bh / 2)) $((bx + bw / 4)) $((by + bh / 4)))" 0.8 ||
    fail "no OK on the button at ${bw}x$bh+$bx+$by"
  gold 10 1 $((bx + bw / 2 - 5)) $((by - 2)) 0 1
}

# Colour measures of a W x H box at (X, Y) of a picture, all 0..1:
#   mean_rgb FILE W H X Y: mean red, green and blue; brightness: mean grey; brightest: top grey.
mean_rgb() {
  convert "$1" -crop "$2x$3+$4+$5" +repage -format "%[fx:mean.r] %[fx:mean.g] %[fx:mean.b]" info:
}
brightness() { convert "$1" -crop "$2x$3+$4+$5" +repage -colorspace Gray -format "%[fx:mean]" info:; }
brightest() { convert "$1" -crop "$2x$3+$4+$5" +repage -colorspace Gray -format "%[fx:maxima]" info:; }

# more_than A B: succeeds when the number A is greater than B.
more_than() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

# colours_near "R G B" "R G B" TOLERANCE: succeeds when no channel differs by more than TOLERANCE.
colours_near() {
  awk -v g="$1" -v w="$2" -v t="$3" 'BEGIN { split(g, a); split(w, b)
    for (i = 1; i <= 3; i++) if (a[i] - b[i] > t || b[i] - a[i] > t) exit 1 }'
}

# only_report_on_leaderboard PORT NAME LEVEL SCORE: the leaderboard on 127.0.0.1:PORT holds one
# report, NAME's of this game's version at LEVEL with SCORE, and shows it on its page and in its
# JSON.
only_report_on_leaderboard() {
  python3 - "$@" <<'PY'
import json, sys, urllib.request
port, name, level, score = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
base = "http://127.0.0.1:%s" % port
page = urllib.request.urlopen(base + "/", timeout=10).read().decode()
assert "<bdi>%s</bdi>" % name in page, page
board = json.load(urllib.request.urlopen(base + "/scores.json", timeout=10))
assert board["reports"] == 1, board
top = board["best"][0]
assert (top["name"], top["version"], top["level"], top["score"]) == (name, "1.7", level, score), top
PY
}
