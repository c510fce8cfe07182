# shellcheck shell=bash
# Shared by the end-to-end scripts (sourced): failing with a message, bounded waits, the virtual
# display with its window manager, and a player folder to start the game in.

fail() {
  echo "e2e: $*" >&2
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
  exec timeout -s KILL "$secs" xvfb-run -a -s "-screen 0 1280x720x24" bash "$@"
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
