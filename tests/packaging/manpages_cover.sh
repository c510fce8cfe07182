#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The manual pages keep up with the programs: every option that `morvane-scores --help` lists is
# in morvane-scores(8), and every environment variable the game reads is in morvane(6).
#   manpages_cover.sh SOURCE_DIR PATH/TO/morvane-scores
set -euo pipefail
src="$(realpath "$1")"
server="$2"
status=0

options="$("$server" --help | grep -o -- '--[a-z][a-z0-9-]*' | sort -u)"
[ -n "$options" ] || { echo "morvane-scores --help lists no options" >&2; exit 1; }
for o in $options; do
  # Manual pages write a hyphen in an option as \-.
  grep -qF -- "${o//-/\\-}" "$src/dist/morvane-scores.8.in" || {
    echo "morvane-scores(8) does not describe $o" >&2
    status=1
  }
done

# The game's own sources, not the tests' or the tools'.
vars="$(cd "$src" && grep -rhoE 'getenv\("[A-Z_][A-Z0-9_]*"\)' app core profiles media state board \
  items puzzles common | sed -E 's/getenv\("(.*)"\)/\1/' | sort -u)"
[ -n "$vars" ] || { echo "found no environment variables in the game's sources" >&2; exit 1; }
for v in $vars; do
  grep -qE "^\.(B|BR|TP) .*\b${v}\b" "$src/dist/morvane.6.in" || {
    echo "morvane(6) does not describe the environment variable $v" >&2
    status=1
  }
done
[ "$status" = 0 ] && echo "the manual pages describe $(echo $options | wc -w) options and $(echo $vars | wc -w) variables"
exit "$status"
