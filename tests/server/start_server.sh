# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the leaderboard test scripts: start_server PROGRAM DB LOG [OPTION...] starts
# morvane-scores on a free port of 127.0.0.1 and sets `server_pid` and `port`; it fails when no
# port shows within 10 s.
start_server() {
  "$1" --listen 127.0.0.1:0 --db "$2" "${@:4}" >"$3" 2>&1 &
  server_pid=$!
  port=
  for _ in $(seq 100); do
    port="$(sed -n 's|^morvane-scores: serving http://127.0.0.1:\([0-9]*\)/.*|\1|p' "$3")"
    [ -n "$port" ] && return 0
    sleep 0.1
  done
  echo "the leaderboard server did not start within 10 s: $(cat "$3")" >&2
  return 1
}
