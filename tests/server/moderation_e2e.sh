#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Moderation end to end, against a running server: reports go in over HTTP, one is hidden with
# the command line while the server runs, and the very next view of the page and the JSON no
# longer shows it; unhidden, it is back. The word list is read again on SIGHUP. Runs against an
# SQLite file, or PostgreSQL (exits 77, skipped, when MORVANE_TEST_POSTGRES_URL is not set).
#   moderation_e2e.sh PATH/TO/morvane-scores sqlite|postgresql
set -euo pipefail
server="$(realpath "$1")"
work="$(mktemp -d)"
source "$(dirname "$0")/start_server.sh"
cleanup() {
  [ -n "${server_pid:-}" ] && kill -9 "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "moderation: $*" >&2
  exit 1
}
if [ "$2" = sqlite ]; then
  db="$work/scores.sqlite"
elif [ -n "${MORVANE_TEST_POSTGRES_URL:-}" ]; then
  schema="moderation_$$"
  psql -q "$MORVANE_TEST_POSTGRES_URL" -c "CREATE SCHEMA $schema"
  trap 'psql -q "$MORVANE_TEST_POSTGRES_URL" -c "DROP SCHEMA $schema CASCADE" >/dev/null; cleanup' EXIT
  case "$MORVANE_TEST_POSTGRES_URL" in *\?*) sep='&' ;; *) sep='?' ;; esac
  db="$MORVANE_TEST_POSTGRES_URL${sep}options=-csearch_path%3D$schema"
else
  echo "MORVANE_TEST_POSTGRES_URL is not set: no PostgreSQL to run against"
  exit 77
fi

printf '# no words yet\n' >"$work/words"
start_server "$server" "$db" "$work/server.log" --deny-words "$work/words" ||
  fail "no leaderboard server"
get() { /usr/bin/python3 -c 'import sys, urllib.request
try:
    with urllib.request.urlopen(sys.argv[1], timeout=10) as r: print(r.status, r.read().decode())
except urllib.error.HTTPError as e: print(e.code, e.read().decode())' "http://127.0.0.1:$port$1"; }
report() { get "/morvane/mv.asp?action2=add&playername=$1%201.7&level=$2&score=$3"; }
# Whether the answer to PATH holds TEXT (read whole first, so grep never cuts it short).
shows() {
  local answer
  answer="$(get "$2")"
  grep -qF -- "$1" <<<"$answer"
}

[ "$(report MALLORY 3 99000)" = "200 ok" ] || fail "MALLORY's report was not taken"
[ "$(report ANNA 3 5000)" = "200 ok" ] || fail "ANNA's report was not taken"
shows '"name":"MALLORY"' /scores.json || fail "MALLORY is not in the JSON"
shows '<bdi>MALLORY</bdi>' / || fail "MALLORY is not on the page"

listed="$("$server" list --db "$db" --name MALLORY)"
id="$(awk -F'\t' 'NR == 2 { print $1 }' <<<"$listed")"
[ -n "$id" ] || fail "list does not show MALLORY's report"
[ "$("$server" hide --db "$db" "$id")" = "hidden: 1 report" ] || fail "hide did not hide it"
# The very next views, well inside the page's one-second cache.
shows MALLORY /scores.json && fail "the JSON still shows the hidden report"
shows MALLORY / && fail "the page still shows the hidden report"
shows '"reports":1,' /scores.json || fail "the count still holds the hidden report"
shows '<bdi>ANNA</bdi>' / || fail "ANNA went with it"
listed="$("$server" list --db "$db" --hidden)"
grep -q "MALLORY.*hidden" <<<"$listed" || fail "the hidden report is gone"
[ "$("$server" unhide --db "$db" --name MALLORY)" = "shown again: 1 report" ] || fail "unhide"
shows '"name":"MALLORY"' /scores.json || fail "MALLORY is not back after unhide"

# A word added to the list refuses the name once the server has read the list again.
printf 'ｍａｌｌ\n' >>"$work/words"
[ "$(report MALLORY 4 1)" = "200 ok" ] || fail "the list changed before SIGHUP"
kill -HUP "$server_pid"
for _ in $(seq 50); do grep -q "(read again)" "$work/server.log" && break; sleep 0.1; done
[ "$(report MALLORY 4 1)" = "400 name not allowed" ] || fail "the new word does not refuse MALLORY"
[ "$(report ANNA 4 1)" = "200 ok" ] || fail "ANNA is refused too"

kill -TERM "$server_pid"
wait "$server_pid" || fail "the server ended with a failure after SIGTERM"
server_pid=
echo "moderation: hidden at the next view, back after unhide, words read again on SIGHUP ($2)"
