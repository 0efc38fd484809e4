#!/usr/bin/env bash
# Compares a replay's trace with the expected one line by line (line N is
# frame N) and names the first frame that differs.
#   compare_trace.sh EXPECTED ACTUAL
[ -f "$2" ] || { echo "FAIL: no trace $2" >&2; exit 1; }
paste -d '|' "$1" "$2" | awk -F '|' -v name="$1" '
  $1 != $2 { printf "FAIL: the trace differs at frame %d: expected \"%s\", got \"%s\"\n", NR, $1, $2
             bad = 1; exit 1 }
  END { if (!bad) printf "the trace equals %s (%d frames)\n", name, NR }' >&2
