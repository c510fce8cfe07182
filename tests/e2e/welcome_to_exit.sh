#!/usr/bin/env bash
# End to end under a virtual X display with a window manager: start the real program, click the
# welcome picture, see a game frame, choose Exit in the main menu, dismiss the thank-you box, and
# check that the program ends and the score report reaches a local server. A first start has no
# player list, so the player name is empty.
#   welcome_to_exit.sh PATH/TO/morvane [SHOT_DIR]
# The harness guards itself with `timeout -s KILL`; the message box ignores SIGTERM.
set -euo pipefail
game="$(realpath "$1")"
shots="${2:-$(mktemp -d)}"
mkdir -p "$shots"
here="$(cd "$(dirname "$0")" && pwd)"

if [ -z "${E2E_INNER:-}" ]; then
  export E2E_INNER=1
  exec timeout -s KILL 90 xvfb-run -a -s "-screen 0 1280x720x24" bash "$0" "$game" "$shots"
fi

work="$(mktemp -d)"
cleanup() {
  for p in ${game_pid:-} ${server_pid:-} ${wm_pid:-}; do kill -9 "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "e2e: $*" >&2
  exit 1
}

# Mean brightness (0..1) of a w x h box of a screenshot.
brightness() { convert "$1" -crop "$2x$3+$4+$5" -colorspace Gray -format "%[fx:mean]" info:; }
bright() { awk -v v="$1" 'BEGIN { exit !(v > 0.05) }'; }

matchbox-window-manager -use_titlebar no >/dev/null 2>&1 &
wm_pid=$!
disown "$wm_pid"

python3 "$here/score_server.py" "$work/port" "$work/request" &
server_pid=$!
disown "$server_pid"
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
[ -s "$work/port" ] || fail "the local score server did not start"

cd "$work"
MORVANE_SCORE_URL="http://127.0.0.1:$(cat "$work/port")" "$game" >"$work/log" 2>&1 &
game_pid=$!

xdotool search --sync --onlyvisible --name '^Morvane$' >/dev/null
sleep 1
import -window root "$shots/welcome.png"
bright "$(brightness "$shots/welcome.png" 300 200 50 50)" || fail "no welcome picture"

# A click on the picture shows the game full screen: 1280 x 720 shows the 800 x 600 picture at
# 1.2 times between 160-pixel bars.
xdotool mousemove 200 150 click 1
sleep 2
import -window root "$shots/game.png"
bright "$(brightness "$shots/game.png" 300 150 490 300)" || fail "no game frame after the click"
bright "$(brightness "$shots/game.png" 150 700 0 10)" && fail "the left bar is not black"

# Exit is the menu's last entry (game 400, 500). The game samples the button every frame, so the
# press is held for a few frames as a hand would.
xdotool mousemove 640 600 mousedown 1 sleep 0.15 mouseup 1
sleep 3
import -window root "$shots/thanks.png"
# The box comes after the 2-second black pause; on a slow machine later, so keep pressing OK.
for _ in $(seq 40); do
  kill -0 "$game_pid" 2>/dev/null || break
  xdotool key Return
  sleep 0.5
done
kill -0 "$game_pid" 2>/dev/null && fail "the program is still running after the thank-you box"
wait "$game_pid" || fail "the program ended with a failure: $(cat "$work/log")"
game_pid=

[ -s "$work/request" ] || fail "no score report arrived"
python3 - "$work/request" <<'PY'
import sys, urllib.parse
target = open(sys.argv[1]).read().strip()
path, _, query = target.partition("?")
fields = urllib.parse.parse_qs(query, keep_blank_values=True)
assert path == "/morvane/mv.asp", path
assert fields == {"action2": ["add"], "playername": [" 1.7"], "level": ["1"], "score": ["0"]}, fields
PY
echo "e2e: welcome, game frame, exit and score report all seen; screenshots in $shots"
