#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End to end: the window manager's close on the welcome window (as its close button or Alt+F4
# would ask) ends the program within 2 seconds, without showing the game.
#   welcome_close.sh PATH/TO/morvane
set -euo pipefail
game="$(realpath "$1")"
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=tests/e2e/harness.sh
source "$here/harness.sh"
under_xvfb 60 "$0" "$game"

start_window_manager
enter_player_folder Tester
start_game 10 "$game"
# Closing before the event loop runs would be queued, not lost; wait until it runs.
sleep 1
# wmctrl asks the window manager to close the window, which sends it WM_DELETE_WINDOW.
wmctrl -c Morvane || fail "the window manager found no window to close"
wait_for 2 "the program still runs after the welcome window was closed" ended "$game_pid"
finished "$game_pid"
echo "e2e: closing the welcome window ended the program"
