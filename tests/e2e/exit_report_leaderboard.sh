#!/usr/bin/env bash
# End to end with the real leaderboard: start morvane-scores on a free local port, start the real
# game against it under a virtual X display, leave through the main menu's Exit, and check that
# the player's report is on the leaderboard page and in its JSON. Then stop the server with
# SIGTERM and check it ends cleanly.
#   exit_report_leaderboard.sh PATH/TO/morvane PATH/TO/morvane-scores [SHOT_DIR]
set -euo pipefail
game="$(realpath "$1")"
server="$(realpath "$2")"
shots="${3:-$(mktemp -d)}"
mkdir -p "$shots"
source "$(dirname "$0")/../server/start_server.sh"

if [ -z "${E2E_INNER:-}" ]; then
  export E2E_INNER=1
  exec timeout -s KILL 110 xvfb-run -a -s "-screen 0 1280x720x24" bash "$0" "$game" "$server" "$shots"
fi

work="$(mktemp -d)"
cleanup() {
  for p in ${game_pid:-} ${server_pid:-} ${wm_pid:-}; do kill -9 "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "e2e: $*" >&2
  [ -f "$work/server.log" ] && sed 's/^/server: /' "$work/server.log" >&2
  exit 1
}

matchbox-window-manager -use_titlebar no >/dev/null 2>&1 &
wm_pid=$!
disown "$wm_pid"

start_server "$server" "$work/scores.sqlite" "$work/server.log" || fail "no leaderboard server"

# A player list naming KESTREL, in the data folder the game reads, which is also where it starts.
export XDG_DATA_HOME="$work/data"
mkdir -p "$XDG_DATA_HOME/morvane"
printf '1\r\n1\r\n1\r\n1\r\nKESTREL\r\nKESTREL\r\n\r\n\r\n\r\n\r\n' >"$XDG_DATA_HOME/morvane/gamenames.dat"
cd "$XDG_DATA_HOME/morvane"
SDL_VIDEODRIVER=x11 MORVANE_SCORE_URL="http://127.0.0.1:$port" "$game" >"$work/game.log" 2>&1 &
game_pid=$!

timeout 30 xdotool search --sync --onlyvisible --name '^Morvane$' >/dev/null ||
  fail "no game window within 30 s: $(cat "$work/game.log")"
sleep 1
# Held presses, as a hand would: the game samples the button every frame. The welcome picture
# first, then Exit, the main menu's last entry (game 400, 500 is screen 640, 600 at 1280 x 720).
xdotool mousemove 200 150 mousedown 1 sleep 0.15 mouseup 1
sleep 2
import -window root "$shots/leaderboard-game.png"
xdotool mousemove 640 600 mousedown 1 sleep 0.15 mouseup 1
sleep 3
import -window root "$shots/leaderboard-thanks.png"
for _ in $(seq 40); do
  kill -0 "$game_pid" 2>/dev/null || break
  xdotool key Return
  sleep 0.5
done
kill -0 "$game_pid" 2>/dev/null && fail "the game is still running 20 s after its thank-you box"
wait "$game_pid" || fail "the game ended with a failure: $(cat "$work/game.log")"
game_pid=

grep -q '"GET /morvane/mv.asp?action2=add&playername=KESTREL%201.7&level=1&score=0" 200$' "$work/server.log" ||
  fail "the server did not take KESTREL's report"
python3 - "$port" <<'PY' || fail "the report is not on the leaderboard"
import json, sys, urllib.request
base = "http://127.0.0.1:%s" % sys.argv[1]
page = urllib.request.urlopen(base + "/", timeout=10).read().decode()
assert "<bdi>KESTREL</bdi>" in page, page
board = json.load(urllib.request.urlopen(base + "/scores.json", timeout=10))
assert board["reports"] == 1, board
top = board["best"][0]
assert (top["name"], top["version"], top["level"], top["score"]) == ("KESTREL", "1.7", 1, 0), top
PY

kill -TERM "$server_pid"
for _ in $(seq 50); do kill -0 "$server_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$server_pid" 2>/dev/null && fail "the server did not stop within 5 s of SIGTERM"
wait "$server_pid" || fail "the server ended with a failure after SIGTERM"
server_pid=
tail -1 "$work/server.log" | grep -q '^morvane-scores: stopped$' || fail "the server did not say it stopped"
echo "e2e: the game's exit report reached the leaderboard and shows on its page; screenshots in $shots"
