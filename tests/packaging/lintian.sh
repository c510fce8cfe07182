#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Each Debian package in DEB_DIR must pass lintian with no error and no warning; its
# informational and pedantic remarks are printed too. The score server's unit is also checked
# with systemd-analyze: it must load, and its exposure must stay at 2.0 or below (of 10).
#   lintian.sh DEB_DIR
set -euo pipefail
dir="$(realpath "$1")"
status=0
for deb in "$dir"/morvane_*.deb "$dir"/morvane-scores_*.deb; do
  [ -f "$deb" ] || { echo "no package $deb" >&2; exit 1; }
  echo "== lintian $(basename "$deb")"
  # lintian says it prefers not to run as root; the remark is not about the package.
  lintian --fail-on error,warning --display-info --pedantic "$deb" 2> >(grep -v 'running with root privileges' >&2) || status=1
done
[ "$status" = 0 ] || { echo "lintian found errors or warnings" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$dir"/morvane-scores_*.deb "$work"
unit="$work/lib/systemd/system/morvane-scores.service"
echo "== systemd-analyze security morvane-scores.service"
# The unit's own settings only: the offline check reads the file, not a running system.
if ! systemd-analyze security --offline=true --root="$work" --threshold=20 --no-pager "$unit" \
  >"$work/security.log" 2>&1 || ! grep -q 'Overall exposure level' "$work/security.log"; then
  cat "$work/security.log" >&2
  echo "systemd-analyze refused the unit, or its exposure is above 2.0" >&2
  exit 1
fi
grep 'Overall exposure level' "$work/security.log"
