#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End to end with the real leaderboard: start morvane-scores on a free local port, start the real
# game against it under a virtual X display, leave through the main menu's Exit, and check that
# the player's report is on the leaderboard page and in its JSON. Then stop the server with
# SIGTERM and check it ends cleanly.
#   exit_report_leaderboard.sh PATH/TO/morvane PATH/TO/morvane-scores [SHOT_DIR]
set -euo pipefail
game="$(realpath "$1")"
server="$(realpath "$2")"
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=tests/e2e/harness.sh
source "$here/harness.sh"
# shellcheck source=tests/server/start_server.sh
source "$here/../server/start_server.sh"
keep_shots "${3:-}"
under_xvfb 110 "$0" "$game" "$server" "$shots"

start_window_manager
show_on_failure "$work/server.log"
start_server "$server" "$work/scores.sqlite" "$work/server.log" || server_failed=1
e2e_pids+=("$server_pid")
[ -z "${server_failed:-}" ] || fail "no leaderboard server"

enter_player_folder KESTREL
MORVANE_SCORE_URL="http://127.0.0.1:$port" start_game 30 "$game"
sleep 1
# The welcome picture first, then Exit, the main menu's last entry (game 400, 500 is screen
# 640, 600 at 1280 x 720).
held_click 200 150
sleep 2
import -window root "$shots/leaderboard-game.png"
held_click 640 600
sleep 3
import -window root "$shots/leaderboard-thanks.png"
confirm_until_ended 20 "$game_pid"

grep -q '"GET /morvane/mv.asp?action2=add&playername=KESTREL%201.7&level=1&score=0" 200$' "$work/server.log" ||
  fail "the server did not take KESTREL's report"
only_report_on_leaderboard "$port" KESTREL 1 0 || fail "the report is not on the leaderboard"

kill -TERM "$server_pid"
wait_for 5 "the server did not stop after SIGTERM" ended "$server_pid"
finished "$server_pid" "the server, stopped by SIGTERM,"
tail -1 "$work/server.log" | grep -q '^morvane-scores: stopped$' || fail "the server did not say it stopped"
echo "e2e: the game's exit report reached the leaderboard and shows on its page; screenshots in $shots"
