#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what Morvane needs on Debian 12, builds it, then plays or tests.
#   bash tools/setup.sh play   # install, build, start the game
#   bash tools/setup.sh test   # install, build, run every test
set -euo pipefail
mode="${1:-play}"
cd "$(dirname "$0")/.."

# dpkg-dev and file let `cpack -G DEB` find the package's library dependencies.
build_pkgs=(cmake g++ ninja-build pkg-config libsdl2-dev libsdl2-mixer-dev libsdl2-ttf-dev
  libsdl2-image-dev fonts-dejavu-core libcurl4-openssl-dev libmicrohttpd-dev libsqlite3-dev libpq-dev libicu-dev
  dpkg-dev file)
# lintian and systemd (systemd-analyze) check the Debian packages; the packages' install test
# installs them with apt-get and purges them again.
test_pkgs=(libgtest-dev xvfb xauth xdotool wmctrl x11-utils imagemagick matchbox-window-manager
  python3 postgresql chromium desktop-file-utils appstream lintian systemd apache2-utils)

pkgs=("${build_pkgs[@]}")
[ "$mode" = test ] && pkgs+=("${test_pkgs[@]}")

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

testing=OFF
[ "$mode" = test ] && testing=ON
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=$testing >/dev/null
cmake --build build

case "$mode" in
  play) exec ./build/app/morvane ;;
  test)
    # The score store's tests also run against a throw-away PostgreSQL server, unless one is
    # named already.
    if [ -n "${MORVANE_TEST_POSTGRES_URL:-}" ]; then
      ctest --test-dir build --output-on-failure -j2
    else
      bash tools/with_postgres.sh ctest --test-dir build --output-on-failure -j2
    fi
    ;;
  *) echo "usage: $0 play|test" >&2; exit 2 ;;
esac
