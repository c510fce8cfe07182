#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Short load, durability and bad-input runs of morvane-scores-bench against one store kind; the
# full runs that give the figures are in the README. Exits 77 (skipped) for PostgreSQL when
# MORVANE_TEST_POSTGRES_URL is not set.
#   bench_short.sh PATH/TO/morvane-scores-bench PATH/TO/morvane-scores sqlite|postgresql
set -euo pipefail
bench="$1"
server="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
if [ "$3" = sqlite ]; then
  db() { echo "$work/$1.sqlite"; }
elif [ -n "${MORVANE_TEST_POSTGRES_URL:-}" ]; then
  db() { echo "$MORVANE_TEST_POSTGRES_URL"; }
else
  echo "MORVANE_TEST_POSTGRES_URL is not set: no PostgreSQL to run against"
  exit 77
fi
"$bench" load --server "$server" --db "$(db load)" --reports 2000 --connections 50
"$bench" crash --server "$server" --db "$(db crash)" --reports 2000 --connections 50
"$bench" fuzz --server "$server" --db "$(db fuzz)" --queries 5000
