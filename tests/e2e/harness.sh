# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Shared by the end-to-end scripts (sourced): failing with a message, bounded waits, the virtual
# display with its window manager, a player folder to start the game in, held clicks, confirming
# the thank-you box, and colour measures of screenshots.

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
# whatever happens (a message box ignores SIGTERM).
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
# with Return; presses it every half second until PID ends, then checks it ended with success.
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
