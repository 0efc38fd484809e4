#!/usr/bin/env bash
# A recording whose end record says another state digest: its replay says
# that it differs and ends with exit code 2.
#   replay_altered_linux.sh SHOOTER RECORDING
shooter=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# The digest is the last 8 bytes: its lowest byte flipped.
size=$(stat -c %s "$2")
head -c $((size - 8)) "$2" >"$out/altered.rec"
last=$(tail -c 8 "$2" | head -c 1 | od -An -tu1 | tr -d ' ')
printf "\\$(printf %03o $((last ^ 0xFF)))" >>"$out/altered.rec"
tail -c 7 "$2" >>"$out/altered.rec"
"$shooter" --play "$out/altered.rec" </dev/null >"$out/text" 2>&1
status=$?
cat "$out/text"
grep -q '^The replay differs from the recorded game' "$out/text" || { echo "FAIL: no difference reported" >&2; exit 1; }
[ "$status" -eq 2 ] || { echo "FAIL: exit code $status, expected 2" >&2; exit 1; }
echo "PASS: exit code 2"
