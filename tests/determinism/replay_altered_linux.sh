#!/usr/bin/env bash
# A recording whose end record says another state digest (its last byte
# flipped): the replay says that it differs and ends with exit code 2.
#   replay_altered_linux.sh SHOOTER RECORDING
altered=$(mktemp)
trap 'rm -f "$altered"' EXIT
cp "$2" "$altered"
printf '\377' | dd of="$altered" bs=1 seek=$(($(stat -c %s "$2") - 1)) conv=notrunc 2>/dev/null
text=$("$1" --play "$altered" </dev/null 2>&1)
status=$?
echo "$text"
grep -q '^The replay differs' <<<"$text" && [ "$status" -eq 2 ] ||
  { echo "FAIL: exit code $status, expected 2 and the difference said" >&2; exit 1; }
