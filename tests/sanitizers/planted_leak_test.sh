#!/usr/bin/env bash
# LeakSanitizer with the project's suppressions against planted leaks under a
# stand-in driver named as Mesa's: each must still be reported, and a run that
# leaks nothing passes.
#   planted_leak_test.sh PROGRAM SUPPRESSIONS
set -u
failures=0
while IFS='|' read -r what reported; do
  output=$(LSAN_OPTIONS="suppressions=$2:print_suppressions=0" ASAN_OPTIONS=detect_leaks=1 \
    "$1" "$what" 2>&1)
  status=$?
  if [ "$reported" = yes ] && { [ "$status" -eq 0 ] || ! grep -q "detected memory leaks" <<<"$output"; }; then
    echo "FAIL: the $what leak under the driver was not reported (exit code $status): $output"
    failures=$((failures + 1))
  elif [ "$reported" = no ] && [ "$status" -ne 0 ]; then
    echo "FAIL: nothing leaked, yet exit code $status: $output"
    failures=$((failures + 1))
  else
    echo "ok: $what: reported $reported"
  fi
done <<'TABLE'
none|no
driver|yes
game|yes
TABLE
[ "$failures" -eq 0 ]
