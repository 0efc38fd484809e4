#!/usr/bin/env bash
# LeakSanitizer with the sanitizer stage's options (LSAN_OPTIONS) and the
# project's suppressions against leaks planted under a stand-in driver that
# carries the file name of Mesa's: its own block and the program's block made
# in a callback from it. The stand-in is not the installed driver, so both are
# reported; named as if it were (a suppression line of its own), its own block
# is excused and the program's is still reported. A run that leaks nothing
# passes.
#   planted_leak_test.sh PROGRAM SUPPRESSIONS DRIVER
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$2" "$work/project.supp"
{ cat "$2"; echo "leak:$3"; } >"$work/as-installed.supp"
failures=0
while IFS='|' read -r what supp reported; do
  output=$(LSAN_OPTIONS="${LSAN_OPTIONS:-}:suppressions=$work/$supp.supp" "$1" "$what" 2>&1)
  status=$?
  if [ "$reported" = yes ] && { [ "$status" -eq 0 ] || ! grep -q "detected memory leaks" <<<"$output"; }; then
    echo "FAIL: the $what leak, $supp suppressions: not reported (exit code $status)"
    failures=$((failures + 1))
  elif [ "$reported" = no ] && [ "$status" -ne 0 ]; then
    echo "FAIL: the $what leak, $supp suppressions: reported (exit code $status): $output"
    failures=$((failures + 1))
  else
    echo "ok: $what, $supp suppressions: reported $reported"
  fi
done <<'TABLE'
none|project|no
driver|project|yes
game|project|yes
driver|as-installed|no
game|as-installed|yes
TABLE
[ "$failures" -eq 0 ]
