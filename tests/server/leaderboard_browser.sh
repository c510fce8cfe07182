#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The leaderboard page in a real browser: reports for A&B and ZOË go through the server, a
# script tag is written straight into the store (no report could carry it), and headless
# Chromium must show all three as plain text. Its DOM is checked, and screenshots at 800 px and
# at phone width are kept in SHOT_DIR.
#   leaderboard_browser.sh PATH/TO/morvane-scores [SHOT_DIR]
set -euo pipefail
server="$(realpath "$1")"
shots="${2:-$(mktemp -d)}"
mkdir -p "$shots"
source "$(dirname "$0")/start_server.sh"
work="$(mktemp -d)"
cleanup() {
  [ -n "${server_pid:-}" ] && kill -9 "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "browser: $*" >&2
  exit 1
}

start_server "$server" "$work/scores.sqlite" "$work/server.log" || fail "no leaderboard server"

python3 - "$port" "$work/scores.sqlite" <<'PY' || fail "could not fill the leaderboard"
import sqlite3, sys, urllib.parse, urllib.request
port, db = sys.argv[1], sys.argv[2]
# Several reports of some players: each shows once, with their best and their number of games.
players = [("ZOË", 5, 12850), ("A&B", 3, 4200), ("MARGIT", 4, 9120), ("O'BRIEN", 3, 3100),
           ("ÉLODIE", 6, 15200), ("ЖЕНЯ", 2, 2750), ("KESTREL", 1, 600), ("ZOË", 3, 8800),
           ("ZOË", 6, 14100), ("MARGIT", 3, 4700), ("KESTREL", 2, -350), ("ÉLODIE", 5, 9900),
           ("SPINNERET", 4, 123456789), ("ЖЕНЯ", 3, 3900)]
for name, level, score in players:
    query = urllib.parse.urlencode({"action2": "add", "playername": name + " 1.7", "level": level,
                                    "score": score}, quote_via=urllib.parse.quote)
    with urllib.request.urlopen("http://127.0.0.1:%s/morvane/mv.asp?%s" % (port, query), timeout=10) as r:
        assert r.read() == b"ok", name
with sqlite3.connect(db) as c:
    c.execute("INSERT INTO reports (name, version, level, score, received, address) "
              "VALUES (?, '1.7', 3, 5000, '2026-12-08T08:00:00Z', '127.0.0.1')",
              ("<script>alert(1)</script>",))
PY

browse() {
  timeout 90 /usr/bin/chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync --hide-scrollbars \
    --user-data-dir="$(mktemp -d "$work/profile-XXXXXX")" "$@" "http://127.0.0.1:$port/" 2>>"$work/chromium.log"
}
browse --dump-dom >"$work/dom.html" || fail "chromium could not load the page: $(tail -5 "$work/chromium.log")"
grep -qi '<script' "$work/dom.html" && fail "the page holds a script element"
for text in '&lt;script&gt;alert(1)&lt;/script&gt;' '<bdi>A&amp;B</bdi>' '<bdi>ZOË</bdi>' '<h3>Level 5</h3>'; do
  grep -qF "$text" "$work/dom.html" || fail "the page does not show $text"
done
# The best list holds ZOË once, with her best (14 100 on level 6) and her 3 games.
best="$(sed -n '/<h2>Best/,/<\/table>/p' "$work/dom.html")"
[ "$(grep -o '<bdi>ZOË</bdi>' <<<"$best" | wc -l)" = 1 ] || fail "ZOË shows more than once in the best list"
grep -q '14.100</td><td class="n games">3</td>' <<<"$best" || fail "ZOË's best and games are not shown"

for size in 800,1400 390,1700; do
  shot="$shots/leaderboard-${size%,*}px.png"
  rm -f "$shot"
  browse --window-size="$size" --screenshot="$shot" >/dev/null || fail "no screenshot at $size"
  [ -s "$shot" ] || fail "no screenshot at $size"
done

kill -TERM "$server_pid"
wait "$server_pid" || fail "the server ended with a failure after SIGTERM"
server_pid=
echo "browser: every name shows as plain text; screenshots in $shots"
