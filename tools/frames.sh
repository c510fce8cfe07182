#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Reference frames: plays one fixed script of clicks and keys for every seed and level kind with
# the frame dumper (the menus, play on the board or puzzle, a held drag, the book, the inventory,
# the options and instructions, the tally, the next level, player selection and name entry) and
# lists the SHA-256 of every frame it writes. A change that must not alter what a player sees
# records the list before and compares after.
#
#   tools/frames.sh record DIR [SEED...]      writes DIR/<run>/frame_NNNN.png and DIR/frames.sha256
#   tools/frames.sh compare LIST [SEED...]    replays the runs of LIST (or of the given seeds) and
#                                             names every frame whose bytes differ
#
# Seeds default to 1..8. FRAMEDUMP names the dumper (default build/tools/framedump). A compare
# keeps the differing frames in a folder it names, so they can be looked at.
set -euo pipefail
framedump="${FRAMEDUMP:-$(dirname "$0")/../build/tools/framedump}"
kinds="$("$framedump" --kinds)"
frames=1420
dumps=2,4,8,20,45,75,120,200,300,320,400,452,458,472,484,496,503,507,512,524,560,580,600,640,700,900,1190,1215,1290,1330,1345,1360,1375,1400,1420

# The level of a run: the first cycle for seeds 1..4, the third (ghosts, higher penalties) after.
level_of() { if [ "$1" -le 4 ]; then echo "$2"; else echo $(($2 + 2 * kinds)); fi; }

# The events of one run, drawn from the seed so every run plays differently but the same each time.
events() {
  awk -v seed="$1" -v kind="$2" 'BEGIN {
    srand(seed * 10 + kind)
    print "3:move:400,320"; print "6:click:400,320"          # hover, then Play
    print "40:click:400,300"; print "70:click:300,500"       # past the intro and first hint
    for (i = 0; i < 30; i++) {                               # swaps on the board, or puzzle clicks
      f = 80 + i * 12
      c = 1 + int(rand() * 7); r = 1 + int(rand() * 7)
      x = 62 + 28 * (c - 1); y = 62 + 28 * (r - 1)
      if (kind >= 3 && kind != 4) { x = 60 + int(rand() * 480); y = 80 + int(rand() * 460) }
      printf "%d:click:%d,%d\n", f, x, y
      if (rand() < 0.5) x += 28; else y += 28
      printf "%d:click:%d,%d\n", f + 4, x, y
    }
    x = 100 + int(rand() * 400); y = 100 + int(rand() * 400)  # a held drag
    printf "305:move:%d,%d\n306:press:left\n309:move:%d,%d\n312:move:%d,%d\n318:release\n", \
      x, y, x + 20, y + 10, x + 45, y + 30
    split("17,487 17,362 17,212 62,262 62,162", home, " ")  # pieces that are dealt in fixed places
    for (i = 0; kind == 4 && i < 4; i++) {                  # dragged to the voodoo box
      f = 325 + i * 15
      split(home[1 + int(rand() * 5)], at, ","); x = at[1]; y = at[2]
      printf "%d:move:%d,%d\n%d:press:left\n%d:move:%d,%d\n%d:move:330,270\n%d:release\n", \
        f, x, y, f + 1, f + 4, int((x + 330) / 2), int((y + 270) / 2), f + 8, f + 11
    }
    print "450:move:730,290"; print "451:press:right"; print "454:release"   # read the book
    print "470:click:400,300"                                                  # stop reading
    print "480:click:730,290"; print "494:click:680,420"    # carry the book, put it down again
    print "500:key:esc"; print "505:click:400,460"          # menu, options
    print "510:click:500,245"; print "514:click:180,445"    # sound off, back to the menu
    print "520:click:400,425"; print "530:click:400,300"    # instructions, back
    print "535:key:esc"                                     # close the menu
    print "550:click:660,520"; print "575:click:790,250"    # inventory closed and opened again
    print "620:win"; print "1200:click:400,300"             # the tally, then the next level
    print "1230:click:400,300"; print "1260:click:300,500"
    print "1280:key:esc"; print "1285:click:400,360"        # player selection
    print "1335:click:340,356"                              # create a new name
    print "1340:type:ЖOLA9"; print "1350:key:backspace"; print "1355:type:Z"
    print "1370:key:enter"
  }'
}

run_one() {  # seed kind outdir
  local level; level=$(level_of "$1" "$2")
  mkdir -p "$3"
  # shellcheck disable=SC2046
  "$framedump" --seed "$1" --level "$level" --frames "$frames" --dump "$dumps" --out "$3" \
    $(events "$1" "$2") >/dev/null
}

# Writes the frames of the given seeds into DIR and prints their list.
play_all() {  # dir seed...
  local dir="$1"; shift
  for seed in "$@"; do
    for kind in $(seq 1 "$kinds"); do run_one "$seed" "$kind" "$dir/seed${seed}_kind${kind}"; done
  done
  (cd "$dir" && find . -name 'frame_*.png' | sort | xargs sha256sum)
}

mode="${1:-}"
case "$mode" in
  record)
    [ $# -ge 2 ] || { echo "usage: $0 record DIR [SEED...]" >&2; exit 2; }
    dir="$2"; shift 2
    seeds=("$@"); [ ${#seeds[@]} -gt 0 ] || seeds=(1 2 3 4 5 6 7 8)
    play_all "$dir" "${seeds[@]}" >"$dir.sha256.tmp" && mv "$dir.sha256.tmp" "$dir/frames.sha256"
    echo "recorded $(wc -l <"$dir/frames.sha256") frames in $dir"
    ;;
  compare)
    [ $# -ge 2 ] || { echo "usage: $0 compare LIST [SEED...]" >&2; exit 2; }
    list="$2"; shift 2
    seeds=("$@")
    [ ${#seeds[@]} -gt 0 ] || mapfile -t seeds < <(sed -n 's|.*\./seed\([0-9]*\)_.*|\1|p' "$list" | sort -un)
    dir=$(mktemp -d /tmp/frames-XXXXXX)
    play_all "$dir" "${seeds[@]}" >"$dir/frames.sha256"
    pattern=$(printf '\\./seed%s_|' "${seeds[@]}"); pattern="${pattern%|}"
    if diff <(grep -E "$pattern" "$list") "$dir/frames.sha256" >"$dir/diff.txt"; then
      echo "all $(wc -l <"$dir/frames.sha256") frames identical"
      rm -rf "$dir"
    else
      echo "frames differ (new frames kept in $dir):"
      grep '^>' "$dir/diff.txt" | awk '{print "  " $3}'
      exit 1
    fi
    ;;
  *) echo "usage: $0 record DIR [SEED...] | compare LIST [SEED...]" >&2; exit 2 ;;
esac
