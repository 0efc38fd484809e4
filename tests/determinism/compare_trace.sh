#!/usr/bin/env bash
# Compares a replay's trace with the expected one line by line (line N is
# frame N) and names the first frame that differs. Both must exist, hold at
# least one frame and hold as many frames as each other.
#   compare_trace.sh EXPECTED ACTUAL
set -uo pipefail
for file in "$1" "$2"; do
  [ -f "$file" ] || { echo "FAIL: no trace $file" >&2; exit 1; }
  [ -s "$file" ] || { echo "FAIL: the trace $file is empty" >&2; exit 1; }
done
expected=$(wc -l <"$1") && actual=$(wc -l <"$2") || { echo "FAIL: unreadable trace" >&2; exit 1; }
if [ "$expected" -ne "$actual" ]; then
  echo "FAIL: $2 holds $actual frames, $1 holds $expected" >&2
  exit 1
fi
paste -d '|' "$1" "$2" | awk -F '|' -v name="$1" '
  $1 != $2 { printf "FAIL: the trace differs at frame %d: expected \"%s\", got \"%s\"\n", NR, $1, $2
             bad = 1; exit 1 }
  END { if (!bad) printf "the trace equals %s (%d frames)\n", name, NR }' >&2
