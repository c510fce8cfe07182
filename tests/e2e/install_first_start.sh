#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A new user's first start of the installed game: install into a temporary prefix (and nothing
# outside it), check the desktop entry and the AppStream metainfo, start the installed program under a virtual X display
# from an unrelated folder with an empty home, see the name-entry screen, type a name, press OK,
# exit through the menu, and check that the player's files are in the user's data folder and
# nothing was written in the start folder.
#   install_first_start.sh BUILD_DIR GAME_DIR GAME_DATA_DIR [SHOT_DIR]
# GAME_DIR and GAME_DATA_DIR are the install layout's folders for the program and its data,
# relative to the prefix.
set -euo pipefail
build="$(realpath "$1")"
gamedir="$2" gamedatadir="$3"
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=tests/e2e/harness.sh
source "$here/harness.sh"
keep_shots "${4:-}"
under_xvfb 120 "$0" "$build" "$gamedir" "$gamedatadir" "$shots"

# No player folder made here: the home is empty and XDG_DATA_HOME unset, as for a new user.
prefix="$work/prefix" home="$work/home" start="$work/start"
mkdir -p "$home" "$start"

cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  fail "cmake --install failed: $(cat "$work/install.log")"
for f in "$gamedir/morvane" "$gamedatadir/manifest.txt" share/icons/hicolor/48x48/apps/morvane.png \
  share/man/man6/morvane.6.gz sbin/morvane-scores share/man/man8/morvane-scores.8.gz \
  lib/systemd/system/morvane-scores.service etc/default/morvane-scores \
  share/doc/morvane/copyright share/doc/morvane-scores/changelog.gz; do
  [ -e "$prefix/$f" ] || fail "$f was not installed"
done
outside="$(grep -v "^$prefix/" "$build/install_manifest.txt" || true)"
[ -z "$outside" ] || fail "installed outside the prefix: $outside"
# The unit and the manual page name the paths of this prefix.
grep -qx "ExecStart=$prefix/sbin/morvane-scores .*" "$prefix/lib/systemd/system/morvane-scores.service" ||
  fail "the unit does not start $prefix/sbin/morvane-scores"
zgrep -q "$prefix/$gamedatadir" "$prefix/share/man/man6/morvane.6.gz" ||
  fail "the manual page does not name the catalogue $prefix/$gamedatadir"
desktop-file-validate "$prefix"/share/applications/*.desktop || fail "the desktop entry is invalid"
appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml >"$work/appstream.log" 2>&1 ||
  fail "the AppStream metainfo is invalid: $(cat "$work/appstream.log")"

# The name-entry screen: the panel (selectlist 14) over the menu picture (selectlist 4), checked
# at flat places of both pictures. Each entry: index, x and y in the picture, where the game
# draws the picture. 1280 x 720 shows the 800 x 600 game at 1.2 times between 160-pixel bars.
points=(
  "14 160 80 255 275"  # panel background
  "14 150 140 255 275" # name box
  "14 290 184 255 275" # Cancel button
  "14 150 2 255 275"   # panel frame
  "4 575 80 50 0"      # moon of the menu picture
  "4 3 300 50 0"       # frame of the menu picture
)
assets="$prefix/$gamedatadir"
picture() { awk -v i="$1" '$1 == "selectlist" && $2 == i { print $3 }' "$assets/manifest.txt"; }
# Every point's 6 x 6 box of the picture within 24/255 of the 7 x 7 box where the screen shows it.
name_entry_shown() {
  local shot="$shots/install_name_entry.png" idx px py ox oy want got
  import -window root "$shot"
  for p in "${points[@]}"; do
    read -r idx px py ox oy <<<"$p"
    want="$(mean_rgb "$assets/$(picture "$idx")" 6 6 "$px" "$py")"
    got="$(mean_rgb "$shot" 7 7 $((160 + (ox + px) * 6 / 5)) $(((oy + py) * 6 / 5)))"
    colours_near "$got" "$want" 0.0941 || {
      echo "(selectlist $idx ($px, $py): want $want, got $got)" >"$work/why"
      return 1
    }
  done
}

start_window_manager
cd "$start"
start_game 20 env -u XDG_DATA_HOME HOME="$home" SDL_AUDIODRIVER=dummy \
  MORVANE_SCORE_URL=http://127.0.0.1:9 "$prefix/$gamedir/morvane"
sleep 1
held_click 200 150
xdotool mousemove 1270 700 # off the picture, so no hover highlight
wait_for 10 "no name-entry screen showed" name_entry_shown

data="$home/.local/share/morvane"
xdotool type --delay 60 tester
sleep 0.3
held_click 592 570 # OK (game 360, 475)
wait_for 10 "OK did not save the new player" test -s "$data/TESTER.dat"
import -window root "$shots/install_menu.png"

held_click 640 600 # Exit (game 400, 500)
confirm_until_ended 20 "$game_pid"

[ "$(wc -l <"$data/TESTER.dat")" -eq 908 ] || fail "TESTER.dat has $(wc -l <"$data/TESTER.dat") lines"
[ "$(wc -l <"$data/gamenames.dat")" -eq 10 ] || fail "gamenames.dat does not have 10 lines"
[ "$(sed -n '5s/\r$//p' "$data/gamenames.dat")" = TESTER ] || fail "gamenames.dat line 5 is not TESTER"
[ -z "$(ls -A "$start")" ] || fail "files were written in the start folder: $(ls -A "$start")"
echo "e2e: installed, validated, name entered, files in $data; screenshots in $shots"
