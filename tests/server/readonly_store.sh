#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The server refuses to start on an SQLite store it cannot write: on a file system mounted
# read-only even root cannot write, so the refusal is seen whoever runs the tests. The file system
# is a small tmpfs in a mount namespace of the test's own, gone when the test ends.
#   readonly_store.sh PATH/TO/morvane-scores
set -euo pipefail
server="$(realpath "$1")"
if [ "$(id -u)" != 0 ] || ! unshare -m true 2>/dev/null; then
  echo "skipped: a read-only mount needs root and a mount namespace"
  exit 77
fi
unshare -m --propagation private bash -s "$server" <<'INNER'
set -euo pipefail
server="$1"
dir="$(mktemp -d /tmp/morvane-ro-XXXXXX)"
mount -t tmpfs -o size=1m tmpfs "$dir"
# A store made while the file system could be written, then the file system turned read-only.
timeout 10 "$server" --listen 127.0.0.1:0 --db "$dir/scores.sqlite" >"$dir/first.log" 2>&1 &
for _ in $(seq 100); do grep -q serving "$dir/first.log" && break; sleep 0.1; done
kill -TERM $! && wait $! || true
grep -q serving "$dir/first.log" || { echo "the server did not start on a writable store"; exit 1; }
mount -o remount,ro "$dir"
status=0
out="$(timeout 10 "$server" --listen 127.0.0.1:0 --db "$dir/scores.sqlite" 2>&1)" || status=$?
umount "$dir" && rmdir "$dir"
[ "$status" = 1 ] || { echo "exit $status on a read-only store, want 1: $out"; exit 1; }
case "$out" in
  *"cannot set up the store"*) echo "refused at start: $out" ;;
  *) echo "no word of the store in: $out"; exit 1 ;;
esac
INNER
