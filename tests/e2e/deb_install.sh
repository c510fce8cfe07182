#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The two Debian packages on a family computer: install both with apt-get on this machine, start
# the leaderboard service's command line as its unit would (systemd is not the init system here,
# so the package only enables the unit), play the installed game to its exit under a virtual X
# display with no report address set, and find the report on the installed leaderboard's page.
# Then remove both packages: nothing of theirs is left but the settings file and the store; and
# purge them: those are gone too. Whatever happens, the packages are purged at the end.
# Skips (77) when not run as root, when port 8080 is taken, or when either package or its files
# are already on this machine.
#   deb_install.sh DEB_DIR [SHOT_DIR]
set -euo pipefail
debs="$(realpath "$1")"
here="$(cd "$(dirname "$0")" && pwd)"
skip() {
  echo "e2e: skipped: $*"
  exit 77
}
[ "$(id -u)" = 0 ] || skip "installing packages needs root"
command -v apt-get >/dev/null || skip "no apt-get"
# known PACKAGE: dpkg knows PACKAGE in any state but not installed.
known() {
  local status
  status="$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" || return 1
  [[ "$status" != *not-installed ]]
}
for p in morvane morvane-scores; do
  ! known "$p" || skip "the package $p is on this machine already"
done
for f in /var/lib/morvane-scores /var/lib/private/morvane-scores /etc/default/morvane-scores; do
  [ ! -e "$f" ] && [ ! -L "$f" ] || skip "$f is on this machine already"
done
if (exec 3<>/dev/tcp/127.0.0.1/8080) 2>/dev/null; then
  skip "port 8080 is taken on this machine; the installed leaderboard listens there"
fi

# shellcheck source=tests/e2e/harness.sh
source "$here/harness.sh"
keep_shots "${2:-}"
under_xvfb 300 "$0" "$debs" "$shots"

apt() {
  DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 -y -q "$@" >>"$work/apt.log" 2>&1
}
show_on_failure "$work/apt.log" "$work/server.log"
unit=/lib/systemd/system/morvane-scores.service
store=/var/lib/morvane-scores
private_made=
# Purges whichever of the packages dpkg still knows (apt-get cannot name one that is gone).
purge_known() {
  local p known_ones=()
  for p in morvane morvane-scores; do known "$p" && known_ones+=("$p"); done
  [ ${#known_ones[@]} -eq 0 ] || apt purge "${known_ones[@]}"
}
# Whatever happens: the server stopped, both packages purged, the store emulation undone.
deb_cleanup() {
  [ -n "${server_pid:-}" ] && kill -9 "$server_pid" 2>/dev/null
  purge_known || true
  rm -rf "$store" /var/lib/private/morvane-scores
  [ -n "$private_made" ] && rmdir /var/lib/private 2>/dev/null
  return 0
}
trap 'deb_cleanup; e2e_cleanup' EXIT

apt install --no-install-recommends "$debs"/morvane_*.deb "$debs"/morvane-scores_*.deb ||
  fail "apt-get could not install the packages"
dpkg -L morvane morvane-scores | sort -u >"$work/files"
for f in /usr/games/morvane /usr/share/games/morvane/manifest.txt "$unit" /etc/default/morvane-scores \
  /usr/sbin/morvane-scores /usr/share/man/man6/morvane.6.gz /usr/share/man/man8/morvane-scores.8.gz; do
  grep -qx "$f" "$work/files" || fail "the packages do not install $f"
done
# Enabled at boot even where systemd does not run now.
[ -L /etc/systemd/system/multi-user.target.wants/morvane-scores.service ] ||
  fail "installing morvane-scores did not enable its unit"

# The unit's command line as systemd would run it: its Environment= defaults, then the settings
# file, ${VAR} as one word and $VAR split into words; its state folder made as for a dynamic user
# (kept in /var/lib/private, linked from /var/lib).
declare -A env=()
read_assignments() {
  local a
  for a in "$@"; do env["${a%%=*}"]="${a#*=}"; done
}
exec_start=
while IFS= read -r line; do
  case "$line" in
    Environment=*)
      read -ra words <<<"${line#Environment=}"
      read_assignments "${words[@]}"
      ;;
    EnvironmentFile=*)
      file="${line#EnvironmentFile=}"
      file="${file#-}"
      while IFS= read -r l; do
        [[ "$l" =~ ^[A-Z_]+= ]] || continue
        v="${l#*=}"
        v="${v#\"}"
        read_assignments "${l%%=*}=${v%\"}"
      done <"$file"
      ;;
    ExecStart=*) exec_start="${line#ExecStart=}" ;;
  esac
done <"$unit"
grep -qx 'DynamicUser=yes' "$unit" && grep -qx 'StateDirectory=morvane-scores' "$unit" ||
  fail "the unit has no dynamic user with the state folder morvane-scores"
argv=()
for w in $exec_start; do
  if [[ "$w" =~ ^\$\{([A-Z_]+)\}$ ]]; then
    argv+=("${env[${BASH_REMATCH[1]}]}")
  elif [[ "$w" =~ ^\$([A-Z_]+)$ ]]; then
    read -ra words <<<"${env[${BASH_REMATCH[1]}]}"
    argv+=("${words[@]}")
  else
    argv+=("$w")
  fi
done
[ "${argv[0]}" = /usr/sbin/morvane-scores ] || fail "the unit starts ${argv[0]}"
[ -d /var/lib/private ] || { mkdir -m 0700 /var/lib/private && private_made=1; }
mkdir -m 0755 /var/lib/private/morvane-scores
ln -s private/morvane-scores "$store"
(cd "$store" && exec env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin "${argv[@]}") >"$work/server.log" 2>&1 &
server_pid=$!
wait_for 10 "the installed leaderboard did not start" \
  grep -q '^morvane-scores: serving http://127.0.0.1:8080/ from SQLite file /var/lib/morvane-scores/scores.sqlite$' \
  "$work/server.log"

# The installed game from the desktop's search path, with no report address of its own.
start_window_manager
enter_player_folder KESTREL
mkdir -p "$work/config"
start_game 30 env -u MORVANE_SCORE_URL -u MORVANE_ASSETS XDG_CONFIG_HOME="$work/config" \
  SDL_AUDIODRIVER=dummy PATH=/usr/games:/usr/bin:/bin morvane
sleep 1
held_click 200 150 # the welcome picture
sleep 2
held_click 640 600 # Exit, the main menu's last entry (game 400, 500)
sleep 3
import -window root "$shots/deb-thanks.png"
# Played to its exit: the program ends in time, confirming whatever thank-you box shows, and its
# report arrives.
wait_for 30 "the installed game still runs after Exit" confirm_once "$game_pid"
wait "$game_pid" || echo "e2e: the game ended with status $?"
forget "$game_pid"
wait_for 10 "the leaderboard did not take KESTREL's report" grep -q \
  '"GET /morvane/mv.asp?action2=add&playername=KESTREL%201.7&level=1&score=0" 200$' "$work/server.log"
only_report_on_leaderboard 8080 KESTREL 1 0 || fail "the report is not on the installed leaderboard's page"

# Removing stops the service first (systemd would; prerm only asks systemd where it runs).
kill -TERM "$server_pid"
wait_for 5 "the leaderboard did not stop after SIGTERM" ended "$server_pid"
wait "$server_pid" || fail "the leaderboard ended with a failure on SIGTERM"
server_pid=
[ -s "$store/scores.sqlite" ] || fail "the store $store/scores.sqlite is missing"

# left_behind: the packages' paths still on the machine, but for folders that other packages
# share or that hold other files.
left_behind() {
  local f
  while IFS= read -r f; do
    [ -e "$f" ] || [ -L "$f" ] || continue
    if [ -d "$f" ]; then # a folder, or a link to one (such as /lib on a merged /usr)
      [ -n "$(ls -A "$f")" ] || dpkg-query -S "$f" >/dev/null 2>&1 || echo "$f (an empty folder)"
    else
      echo "$f"
    fi
  done <"$work/files"
}
apt remove morvane morvane-scores || fail "apt-get could not remove the packages"
left="$(left_behind)"
[ "$left" = /etc/default/morvane-scores ] ||
  fail "after removal, expected only the settings file left of the packages, found: ${left:-nothing}"
[ -s "$store/scores.sqlite" ] || fail "removing morvane-scores deleted the store"

purge_known || fail "apt-get could not purge the packages"
left="$(left_behind)"
[ -z "$left" ] || fail "after purging, still there: $left"
for f in "$store" /var/lib/private/morvane-scores /etc/systemd/system/multi-user.target.wants/morvane-scores.service \
  /var/lib/systemd/deb-systemd-helper-enabled/morvane-scores.service.dsh-also; do
  [ ! -e "$f" ] && [ ! -L "$f" ] || fail "after purging, still there: $f"
done
for p in morvane morvane-scores; do
  ! known "$p" || fail "dpkg still knows $p after purging: $(dpkg-query -W -f='${Status}' "$p")"
done
echo "e2e: installed both packages, played to exit, saw the report on the page, removed (store kept) and purged (store gone)"
