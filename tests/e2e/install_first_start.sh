#!/usr/bin/env bash
# A new user's first start of the installed game: install into a temporary prefix, check the
# desktop entry and the AppStream metainfo, start the installed program under a virtual X display
# from an unrelated folder with an empty home, see the name-entry screen, type a name, press OK,
# exit through the menu, and check that the player's files are in the user's data folder and
# nothing was written in the start folder.
#   install_first_start.sh BUILD_DIR [SHOT_DIR]
# The harness guards itself with `timeout -s KILL`; the message box ignores SIGTERM.
set -euo pipefail
build="$(realpath "$1")"
shots="${2:-$(mktemp -d)}"
mkdir -p "$shots"

if [ -z "${E2E_INNER:-}" ]; then
  export E2E_INNER=1
  exec timeout -s KILL 120 xvfb-run -a -s "-screen 0 1280x720x24" bash "$0" "$build" "$shots"
fi

work="$(mktemp -d)"
prefix="$work/prefix" home="$work/home" start="$work/start"
mkdir -p "$home" "$start"
cleanup() {
  for p in ${game_pid:-} ${wm_pid:-}; do kill -9 "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "e2e install: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  fail "cmake --install failed: $(cat "$work/install.log")"
for f in bin/morvane share/morvane/manifest.txt share/icons/hicolor/48x48/apps/morvane.png; do
  [ -e "$prefix/$f" ] || fail "$f was not installed"
done
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
assets="$prefix/share/morvane"
picture() { awk -v i="$1" '$1 == "selectlist" && $2 == i { print $3 }' "$assets/manifest.txt"; }
# Mean colour "r g b" of an n x n box of a picture at (x, y).
mean() {
  convert "$1" -crop "$2x$2+$3+$4" +repage -scale '1x1!' \
    -format '%[fx:round(255*r)] %[fx:round(255*g)] %[fx:round(255*b)]' info:
}
near() { awk -v a="$1" -v b="$2" 'BEGIN { split(a, x); split(b, y);
  for (i = 1; i <= 3; i++) if ((x[i] - y[i])^2 > 24^2) exit 1 }'; }
name_entry_shown() {
  local idx px py ox oy want got
  for p in "${points[@]}"; do
    read -r idx px py ox oy <<<"$p"
    want="$(mean "$assets/$(picture "$idx")" 6 "$px" "$py")"
    got="$(mean "$1" 7 $((160 + (ox + px) * 6 / 5)) $(((oy + py) * 6 / 5)))"
    near "$want" "$got" || { mismatch="selectlist $idx ($px, $py): want $want, got $got"; return 1; }
  done
}

# Presses the left button for a few frames at screen (x, y), as a hand would.
click() { xdotool mousemove "$1" "$2" mousedown 1 sleep 0.15 mouseup 1; }

matchbox-window-manager -use_titlebar no >/dev/null 2>&1 &
wm_pid=$!
disown "$wm_pid"

cd "$start"
env -u XDG_DATA_HOME HOME="$home" SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy \
  MORVANE_SCORE_URL=http://127.0.0.1:9 "$prefix/bin/morvane" >"$work/log" 2>&1 &
game_pid=$!

timeout 20 xdotool search --sync --onlyvisible --name '^Morvane$' >/dev/null ||
  fail "no welcome window within 20 s: $(cat "$work/log")"
sleep 1
click 200 150
xdotool mousemove 1270 700 # off the picture, so no hover highlight
mismatch="no screenshot"
for _ in $(seq 20); do
  sleep 0.5
  import -window root "$shots/install_name_entry.png"
  name_entry_shown "$shots/install_name_entry.png" && break
done
name_entry_shown "$shots/install_name_entry.png" || fail "no name-entry screen: $mismatch"

data="$home/.local/share/morvane"
xdotool type --delay 60 tester
sleep 0.3
click 592 570 # OK (game 360, 475)
for _ in $(seq 40); do [ -s "$data/TESTER.dat" ] && break; sleep 0.25; done
[ -s "$data/TESTER.dat" ] || fail "OK did not save the new player"
import -window root "$shots/install_menu.png"

click 640 600 # Exit (game 400, 500)
# The thank-you box comes after a 2-second black pause; keep pressing OK until the program ends.
for _ in $(seq 40); do
  kill -0 "$game_pid" 2>/dev/null || break
  xdotool key Return
  sleep 0.5
done
kill -0 "$game_pid" 2>/dev/null && fail "the program is still running after the thank-you box"
wait "$game_pid" || fail "the program ended with a failure: $(cat "$work/log")"
game_pid=

[ "$(wc -l <"$data/TESTER.dat")" -eq 908 ] || fail "TESTER.dat has $(wc -l <"$data/TESTER.dat") lines"
[ "$(wc -l <"$data/gamenames.dat")" -eq 10 ] || fail "gamenames.dat does not have 10 lines"
[ "$(sed -n '5s/\r$//p' "$data/gamenames.dat")" = TESTER ] || fail "gamenames.dat line 5 is not TESTER"
[ -z "$(ls -A "$start")" ] || fail "files were written in the start folder: $(ls -A "$start")"
echo "e2e install: installed, validated, name entered, files in $data; screenshots in $shots"
