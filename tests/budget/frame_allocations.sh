#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 surface-viewer contributors
#
# SPDX-License-Identifier: MIT

# Counts, with valgrind, the heap allocations (operator new and the malloc
# family) of one and of three turns of key plus frame on every surface. Equal
# totals mean a frame allocates nothing. Usage: frame_allocations.sh PROBE
set -euo pipefail

probe=$(realpath "$1")

if ! command -v valgrind >/dev/null; then
  echo "valgrind is missing: scripts/install-deps test"
  # A developer's machine may lack it; CI must not skip the check.
  [ "${CI:-}" = true ] && exit 1
  exit 77
fi

# "total heap usage: 1,234 allocs, ..." from valgrind's summary.
allocations() {
  local log
  log=$(valgrind --error-exitcode=3 "$probe" "$1" 2>&1) || {
    echo "$log" >&2
    return 1
  }
  echo "$log" | sed -n 's/.*total heap usage: \([0-9,]*\) allocs.*/\1/p' | tr -d ,
}

one=$(allocations 1)
three=$(allocations 3)
if [ -z "$one" ] || [ -z "$three" ]; then
  echo "no heap summary from valgrind"
  exit 1
fi
echo "heap allocations: $one after one turn, $three after three"
if [ "$one" -ne "$three" ]; then
  echo "a frame allocates: $((three - one)) more allocations over 14 more frames"
  exit 1
fi
