#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 surface-viewer contributors
#
# SPDX-License-Identifier: MIT

# Counts, with callgrind, the instructions that one frame of drawSurface spends
# per surface: self cost of the program's own functions, of the math library
# and of any other library, but not of the do-nothing GL stand-ins. Fails if a
# surface goes over its budget. Usage: instruction_budget.sh FRAME_COST_PROBE
set -euo pipefail

probe=$(realpath "$1")
# The counts of the build with the program's own sine and cosine, fast stage
# inline and in one pass of doubles, plus 10%, by surface index.
budgets=(410000 602000 420000 421000 426000 795000 702000)

if ! command -v valgrind >/dev/null; then
  echo "valgrind is missing: scripts/install-deps test"
  # A developer's machine may lack it; CI must not skip the budget.
  [ "${CI:-}" = true ] && exit 1
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# Collect only inside countedFrame and write one file per frame.
valgrind --tool=callgrind --collect-atstart=no --toggle-collect=countedFrame \
  --dump-after=countedFrame --callgrind-out-file=frame "$probe" >log 2>&1 || {
  cat log
  exit 1
}

# Self cost per object and function. Names are compressed: "(id) name" defines
# an id, "(id)" refers back to it. The line after "calls=" is the inclusive
# cost of that call, not the caller's own.
self_costs() {
  awk '
    function name(kind, s,   id, rest) {
      if (match(s, /^\([0-9]+\)/)) {
        id = substr(s, 2, RLENGTH - 2)
        rest = substr(s, RLENGTH + 1)
        sub(/^ /, "", rest)
        if (rest != "") names[kind, id] = rest
        return names[kind, id]
      }
      return s
    }
    /^ob=/ { ob = name("ob", substr($0, 4)); next }
    /^cob=/ { name("ob", substr($0, 5)); next }
    /^fn=/ { fn = name("fn", substr($0, 4)); next }
    /^cfn=/ { name("fn", substr($0, 5)); next }
    /^calls=/ { inclusive = 1; next }
    /^[0-9+*-]/ { if (inclusive) inclusive = 0; else self[ob "\t" fn] += $2; next }
    END { for (k in self) print self[k] "\t" k }
  ' "$1"
}

frames=(frame.[0-9]*)
if [ ${#frames[@]} -ne ${#budgets[@]} ]; then
  echo "expected ${#budgets[@]} frames from callgrind, got ${#frames[@]}"
  cat log
  exit 1
fi

printf '%-8s %12s %9s %9s %9s %8s %10s\n' surface instructions budget own "math lib" other "math share"
failed=0
sum_total=0
sum_math=0
for surface in "${!budgets[@]}"; do
  # Callgrind numbers the dumps from 1, in the order of the frames.
  read -r own math other < <(self_costs "frame.$((surface + 1))" |
    awk -F'\t' -v exe="$probe" '
      # The stand-ins are the only plain C names in the probe: gl*, glu*, glut*.
      $2 == exe && $3 ~ /^gl[A-Za-z0-9]*$/ { next }
      $2 == exe && $3 == "countedFrame" { next }
      $2 == exe { own += $1; next }
      $2 ~ /\/libm[.-]/ { math += $1; next }
      { other += $1 }
      END { printf "%d %d %d\n", own, math, other }')
  total=$((own + math + other))
  budget=${budgets[$surface]}
  verdict=""
  if [ "$total" -gt "$budget" ]; then
    verdict="  OVER BUDGET"
    failed=1
  fi
  printf '%-8s %12d %9d %9d %9d %8d %9.1f%%%s\n' "$surface" "$total" "$budget" "$own" "$math" "$other" \
    "$(awk -v m="$math" -v t="$total" 'BEGIN { print 100 * m / t }')" "$verdict"
  sum_total=$((sum_total + total))
  sum_math=$((sum_math + math))
done
printf 'math library share over all seven frames: %.1f%%\n' \
  "$(awk -v m="$sum_math" -v t="$sum_total" 'BEGIN { print 100 * m / t }')"
exit "$failed"
