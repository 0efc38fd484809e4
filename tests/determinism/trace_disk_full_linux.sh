#!/usr/bin/env bash
# A replay whose trace goes to a full disk (/dev/full): the game plays to its
# end, says that the trace could not be written whole, and ends with exit code 3.
#   trace_disk_full_linux.sh SHOOTER RECORDING
"$1" --play "$2" --trace /dev/full </dev/null >"${TMPDIR:-/tmp}/trace_disk_full.$$" 2>&1
status=$?
text=$(cat "${TMPDIR:-/tmp}/trace_disk_full.$$")
rm -f "${TMPDIR:-/tmp}/trace_disk_full.$$"
echo "$text"
grep -q 'The trace "/dev/full" could not be written whole' <<<"$text" || { echo "FAIL: no message" >&2; exit 1; }
[ "$status" -eq 3 ] || { echo "FAIL: exit code $status, expected 3" >&2; exit 1; }
echo "PASS: exit code 3"
