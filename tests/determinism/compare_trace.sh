#!/usr/bin/env bash
# Compares a replay's trace (one "FRAME DIGEST" line per frame) with the
# committed one, line by line; names the first frame that differs.
#   compare_trace.sh EXPECTED ACTUAL
expected=$1
actual=$2
[ -f "$expected" ] || { echo "FAIL: no expected trace $expected" >&2; exit 1; }
[ -f "$actual" ] || { echo "FAIL: the replay wrote no trace $actual" >&2; exit 1; }
awk -v expected="$expected" '
  {
    if ((getline want < expected) <= 0) {
      printf "FAIL: the trace goes on past the expected %d frames: %s\n", NR - 1, $0
      bad = 1
      exit 1
    }
    if ($0 != want) {
      printf "FAIL: the trace differs at frame %s (line %d): expected \"%s\", got \"%s\"\n",
             $1, NR, want, $0
      bad = 1
      exit 1
    }
  }
  END {
    if (bad) exit 1
    if ((getline want < expected) > 0) {
      printf "FAIL: the trace ends after %d frames; the expected one goes on: %s\n", NR, want
      exit 1
    }
    printf "the trace equals %s (%d frames)\n", expected, NR
  }' "$actual" >&2
