#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End to end: a report that cannot reach the leaderboard waits in the outbox and arrives at the
# next start. The game's settings file names a leaderboard on a local port where nothing listens
# yet; the player leaves through the main menu's Exit, and the report lands in the data folder's
# outbox. Then morvane-scores starts on that port, the game starts again, and the kept report
# reaches the leaderboard in the background while the welcome picture shows; the outbox is gone
# and the page lists the player. The thank-you box is confirmed if it shows; the evidence is the
# outbox and the server, not the box.
#   outbox_delivery.sh PATH/TO/morvane PATH/TO/morvane-scores [SHOT_DIR]
set -euo pipefail
game="$(realpath "$1")"
server="$(realpath "$2")"
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=tests/e2e/harness.sh
source "$here/harness.sh"
keep_shots "${3:-}"
under_xvfb 110 "$0" "$game" "$server" "$shots"

start_window_manager
unset MORVANE_SCORE_URL
# A free port, closed again at once: the leaderboard is down.
port="$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/morvane"
printf '# the school leaderboard\nleaderboard = http://127.0.0.1:%s\n' "$port" >"$XDG_CONFIG_HOME/morvane/morvane.conf"
enter_player_folder KESTREL
outbox="$XDG_DATA_HOME/morvane/outbox"
report="/morvane/mv.asp?action2=add&playername=KESTREL%201.7&level=1&score=0"

# First run: play to the menu and leave; the report gets no answer and is kept.
start_game 30 "$game"
sleep 1
held_click 200 150
sleep 2
left=$(date +%s%N)
held_click 640 600
wait_for 5 "no report was kept in the outbox" test -s "$outbox"
confirm_until_ended 20 "$game_pid"
took_ms=$((($(date +%s%N) - left) / 1000000))
echo "e2e: the first run ended ${took_ms} ms after Exit"
[ "$took_ms" -lt 8000 ] || fail "leaving took ${took_ms} ms with the leaderboard down"
[ "$(cat "$outbox")" = "$report" ] || fail "the outbox holds '$(cat "$outbox")', not KESTREL's report"

# The leaderboard comes up on the same address.
show_on_failure "$work/server.log"
# Stopped with the other processes when the script ends.
start_in_background "$server" --listen "127.0.0.1:$port" --db "$work/scores.sqlite" >"$work/server.log" 2>&1
wait_for 10 "the leaderboard server did not start on port $port" grep -q '^morvane-scores: serving' "$work/server.log"

# Second run: the kept report goes out in the background while the welcome picture shows.
start_game 30 "$game"
wait_for 15 "the kept report did not reach the server" \
  grep -qF "\"GET $report\" 200" "$work/server.log"
wait_for 5 "the outbox is still there after its report was taken" test ! -e "$outbox"
import -window root "$shots/outbox-welcome.png"
# The second run is left from the welcome picture with Esc, which sends no report of its own.
xdotool key Escape
wait_for 5 "the program still runs after Esc on the welcome picture" ended "$game_pid"
finished "$game_pid"

only_report_on_leaderboard "$port" KESTREL 1 0 || fail "the kept report is not on the leaderboard"
[ "$(grep -c 'mv.asp' "$work/server.log")" -eq 1 ] || fail "the report was sent more than once"
if grep -v -e 'no sound device' -e 'XDG_RUNTIME_DIR' "$work/err" | grep -q .; then
  fail "the second run said more than expected on stderr"
fi
echo "e2e: a report kept while the leaderboard was down reached it at the next start; screenshots in $shots"
