#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the README's test command on a fresh Debian 12: a minimal bookworm tree made with
# debootstrap from the package source apt already uses, this repository's HEAD commit cloned into
# it, and `bash tools/setup.sh test` run there in a chroot. Needs root and takes several minutes;
# commit first, as only committed work is cloned.
#   bash tools/fresh-machine.sh
# The minimal tree is made once and kept as a tarball in /var/cache/morvane-fresh-machine; every
# run unpacks it afresh (MORVANE_FRESH_REBUILD=1 makes it again). The run's tree and its log go
# to /var/tmp; the tree is removed afterwards unless MORVANE_FRESH_KEEP=1.
set -euo pipefail

say() { echo "fresh-machine: $*"; }
[ "$(id -u)" -eq 0 ] || { say "run me as root (debootstrap and chroot need it)" >&2; exit 2; }

began=$(date +%s)
repo="$(git -C "$(dirname "$0")" rev-parse --show-toplevel)"
head="$(git -C "$repo" rev-parse HEAD)"
[ -z "$(git -C "$repo" status --porcelain --untracked-files=no)" ] ||
  say "note: uncommitted changes are not part of the run; it tests $head"

# The URI that apt fetches SUITE from, out of one-line sources ("deb [options] URI SUITE ...") or
# deb822 stanzas (Types, URIs, Suites, Enabled).
source_uri() {
  local suite="$1" f
  {
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
      [ -f "$f" ] || continue
      awk -v s="$suite" '$1 == "deb" {
          i = 2
          if ($i ~ /^\[/) { while (i < NF && $i !~ /\]$/) i++; i++ }
          if ($(i + 1) == s) { print $i; exit }
        }' "$f"
    done
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      awk -v s="$suite" '
        function flush() {
          if (types ~ /(^| )deb( |$)/ && (" " suites " ") ~ (" " s " ") && enabled != "no" && uris != "") {
            split(uris, u, " "); print u[1]
          }
          types = suites = uris = enabled = ""
        }
        /^[[:space:]]*$/ { flush(); next }
        /^#/ { next }
        /^Types:/ { sub(/^Types:[[:space:]]*/, ""); types = $0 }
        /^Suites:/ { sub(/^Suites:[[:space:]]*/, ""); suites = $0 }
        /^URIs:/ { sub(/^URIs:[[:space:]]*/, ""); uris = $0 }
        /^Enabled:/ { sub(/^Enabled:[[:space:]]*/, ""); enabled = tolower($0) }
        END { flush() }' "$f"
    done
  } | head -1
}

# apt-get install, waiting while another install holds the lock.
apt_install() {
  local tries=0
  until DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" \
    >"$work/apt.log" 2>&1; do
    grep -q 'Could not get lock' "$work/apt.log" || { cat "$work/apt.log" >&2; return 1; }
    tries=$((tries + 1))
    [ "$tries" -lt 60 ] || { say "apt stayed locked for 30 minutes" >&2; return 1; }
    sleep 30
  done
}

# Unmounts whatever is still mounted under DIR, deepest first; fails if something stays.
unmount_under() {
  local m
  for m in $(awk -v d="$1/" 'index($2 "/", d) == 1 { print $2 }' /proc/mounts | sort -r); do
    umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true
  done
  ! awk -v d="$1/" 'index($2 "/", d) == 1 { found = 1 } END { exit !found }' /proc/mounts
}

# Removes a tree this script made, never reaching into anything mounted in it.
remove_tree() {
  [ -n "$1" ] && [ -d "$1" ] || return 0
  if unmount_under "$1"; then
    rm -rf --one-file-system "$1"
  else
    say "left $1 in place: something is still mounted in it" >&2
  fi
}

work="$(mktemp -d /var/tmp/morvane-fresh-machine-XXXXXX)"
root="$work/root"
staging=""
cleanup() {
  remove_tree "$staging"
  if [ -n "${MORVANE_FRESH_KEEP:-}" ]; then
    unmount_under "$root" || true
    say "kept the tree in $root"
  else
    remove_tree "$work"
  fi
}
trap cleanup EXIT

mirror="$(source_uri bookworm)"
[ -n "$mirror" ] || { say "apt has no source for bookworm" >&2; exit 2; }
security="$(source_uri bookworm-security)"
say "package source $mirror${security:+, security updates from $security}"

# The pristine minimal tree, made once per package source.
cache=/var/cache/morvane-fresh-machine
tarball="$cache/bookworm-minbase-$(printf '%s' "$mirror" | md5sum | cut -c1-12).tar.gz"
if [ ! -s "$tarball" ] || [ -n "${MORVANE_FRESH_REBUILD:-}" ]; then
  command -v debootstrap >/dev/null || {
    say "installing debootstrap"
    apt-get update -qq
    apt_install debootstrap
  }
  say "making a minimal bookworm tree with debootstrap (once; kept in $tarball)"
  mkdir -p "$cache"
  staging="$work/debootstrap"
  debootstrap --variant=minbase bookworm "$staging" "$mirror" >"$work/debootstrap.log" 2>&1 || {
    tail -20 "$work/debootstrap.log" >&2
    say "debootstrap failed" >&2
    exit 1
  }
  unmount_under "$staging"
  tar -C "$staging" -czf "$tarball.part" . && mv "$tarball.part" "$tarball"
  remove_tree "$staging"
  staging=""
fi

say "unpacking a fresh tree in $root"
mkdir -p "$root"
tar -C "$root" -xzf "$tarball"

# What a freshly installed machine has beside the tree: its name server, its package sources and
# the way apt reads them here (a source kept as a snapshot has Release files past their date).
cp --remove-destination /etc/resolv.conf "$root/etc/resolv.conf"
{
  echo "deb $mirror bookworm main"
  echo "deb $mirror bookworm-updates main"
  [ -z "$security" ] || echo "deb $security bookworm-security main"
} >"$root/etc/apt/sources.list"
apt-config dump | grep -E '^Acquire::Check-(Valid-Until|Date) ' >"$root/etc/apt/apt.conf.d/99fresh-machine" || true
# Packages install without starting their services, as in any chroot or container: a started
# PostgreSQL would hold the tree busy and take the host's port. The tests start their own.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"
# The chroot shares the host's network namespace, where X servers listen on abstract sockets:
# xvfb-run -a, which sees only the chroot's lock files, would pick displays the host's users
# hold. Lock files for the displays below a random number from 200 send it past them.
first_display=$((200 + RANDOM % 600))
for ((n = 99; n < first_display; n++)); do echo 0 >"$root/tmp/.X$n-lock"; done

say "cloning $repo at ${head:0:12}"
git clone -q --no-hardlinks "$repo" "$root/root/morvane"
git -C "$root/root/morvane" checkout -q --detach "$head"

log="$work.log"
say "running 'bash tools/setup.sh test' in the chroot (log: $log)"
# A mount and process namespace of its own: /proc, /dev, /dev/shm and /dev/pts are mounted only
# there, and nothing started in the chroot outlives the run.
set +e
unshare --mount --pid --fork --propagation private -- bash -c '
  set -e
  root="$1"
  trap "umount -l \"\$root\"/dev/{ptmx,pts,shm} \"\$root/dev\" \"\$root/proc\" 2>/dev/null || true" EXIT
  mount -t proc proc "$root/proc"
  mount --bind /dev "$root/dev"
  mount --make-private "$root/dev"
  mount -t tmpfs -o mode=1777,nosuid,nodev shm "$root/dev/shm"
  # Terminals of its own, for apt and whatever else asks for one.
  mount -t devpts -o newinstance,ptmxmode=0666,mode=620 devpts "$root/dev/pts"
  mount --bind "$root/dev/pts/ptmx" "$root/dev/ptmx"
  chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c "cd /root/morvane && bash tools/setup.sh test"
' fresh-machine "$root" 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
set -e

took=$(($(date +%s) - began))
result=PASSED
[ "$status" -eq 0 ] || result=FAILED
say "$result in $((took / 60)) min $((took % 60)) s (bash tools/setup.sh test, exit $status)"
exit "$status"
