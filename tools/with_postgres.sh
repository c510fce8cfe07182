#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command with a throw-away PostgreSQL server: a cluster in a temporary folder, run as the
# `postgres` user, listening only on a unix socket in that folder. The command finds it in
# MORVANE_TEST_POSTGRES_URL; the cluster is stopped and removed when the command ends.
#   bash tools/with_postgres.sh COMMAND [ARGS...]
# Installs Debian's postgresql package first when it is missing (needs root, as tools/setup.sh).
set -euo pipefail

if ! dpkg-query -W -f='${Status}' postgresql 2>/dev/null | grep -q 'install ok installed'; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends postgresql
fi
bin="$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)"

dir="$(mktemp -d /tmp/morvane-pg-XXXXXX)"
chown postgres: "$dir"
as_postgres() { runuser -u postgres -- "$@"; }
stop() {
  as_postgres "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1 || true
  rm -rf "$dir"
}
trap stop EXIT

as_postgres "$bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 ||
  { cat "$dir/initdb.log" >&2; exit 1; }
as_postgres "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
  -o "-c listen_addresses= -k $dir -c fsync=on" start >/dev/null ||
  { cat "$dir/server.log" >&2; exit 1; }

export MORVANE_TEST_POSTGRES_URL="postgresql://postgres@/postgres?host=$dir"
echo "with_postgres: PostgreSQL $("$bin/postgres" --version | awk '{print $3}') at $MORVANE_TEST_POSTGRES_URL"
"$@"
