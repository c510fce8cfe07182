#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Licence lines: puts an SPDX-License-Identifier line at the top of every source file of the
# project that has none (after a #! line), in the file's own comment style. Running it again
# changes nothing. With --check it changes nothing and lists the files that lack the line,
# failing when there are any.
#   bash tools/spdx.sh [--check]
# Source files are C++, assembler, CMake, shell, Python, the systemd unit and configuration
# templates and the manual pages, found among the files git knows (tracked or not ignored), or
# under the tree without git. Pictures, sounds and the other data are CC-BY-SA-4.0 (COPYING).
set -euo pipefail
check=0
[ "${1:-}" = --check ] && check=1
cd "$(dirname "$0")/.."
id="SPDX-License-Identifier: GPL-3.0-or-later"

files() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    # --deduplicate: a path with a merge conflict is listed once, not once a stage.
    git ls-files -z --cached --others --exclude-standard --deduplicate
  else
    find . -path ./.git -prune -o -path './build*' -prune -o -type f -printf '%P\0'
  fi
}

# Sets `line` to the comment line for FILE; fails when it is no source file.
comment_for() {
  case "$1" in
    *.cpp | *.h | *.c | *.hpp) line="// $id" ;;
    *.S | *.S.in) line="/* $id */" ;;
    CMakeLists.txt | */CMakeLists.txt | *.cmake | *.py | *.sh | *.service | *.service.in | \
      *.conf | *.conf.in | *.default | *.default.in) line="# $id" ;;
    *.[1-8] | *.[1-8].in) line=".\\\" $id" ;;
    *)
      [[ "${1##*/}" == *.* ]] && return 1
      # A script without an extension, known by its #! line.
      head -n 1 "$1" | grep -Eq '^#!.*(ba|da)?sh( |$)' || return 1
      line="# $id"
      ;;
  esac
}

sources=()
while IFS= read -r -d '' f; do
  [ -f "$f" ] && [ -s "$f" ] && comment_for "$f" && sources+=("$f")
done < <(files)

# The sources without the line in their first 5 lines, in one pass.
missing=()
[ ${#sources[@]} -eq 0 ] || mapfile -t missing < <(awk '
  FNR == 1 { if (name != "" && !found) print name; name = FILENAME; found = 0 }
  FNR <= 5 && /SPDX-License-Identifier:/ { found = 1 }
  END { if (name != "" && !found) print name }' "${sources[@]}")

if [ "$check" = 0 ]; then
  for f in "${missing[@]}"; do
    comment_for "$f"
    # After a #! line, else first; written back in place, so the file keeps its mode.
    tmp="$(mktemp)"
    if head -c 2 "$f" | grep -q '^#!'; then
      { head -n 1 "$f" && printf '%s\n' "$line" && tail -n +2 "$f"; } >"$tmp"
    else
      { printf '%s\n' "$line" && cat "$f"; } >"$tmp"
    fi
    cat "$tmp" >"$f"
    rm -f "$tmp"
  done
fi

if [ "$check" = 1 ]; then
  if [ ${#missing[@]} -gt 0 ]; then
    echo "files without an SPDX-License-Identifier line in their first 5 lines (bash tools/spdx.sh adds them):" >&2
    printf '  %s\n' "${missing[@]}" >&2
    exit 1
  fi
  echo "every source file has its SPDX-License-Identifier line"
elif [ ${#missing[@]} -gt 0 ]; then
  printf 'added the SPDX line to %s\n' "${missing[@]}"
fi
