#!/usr/bin/env bash
# shooter --play RECORDING --trace: exit code 0, a summary matching EXPECTED
# (an extended regular expression), the verdict that it ended as recorded, and
# a trace equal to the committed RECORDING.trace line by line.
#   replay_linux.sh SHOOTER RECORDING EXPECTED
trace=$(mktemp)
trap 'rm -f "$trace"' EXIT
text=$("$1" --play "$2" --trace "$trace" </dev/null 2>&1)
status=$?
echo "$text"
[ "$status" -eq 0 ] || { echo "FAIL: exit code $status, expected 0" >&2; exit 1; }
grep -qE "^Replayed game: .*$3" <<<"$text" || { echo "FAIL: no summary matching '$3'" >&2; exit 1; }
grep -q '^The replay ended as the recorded game did' <<<"$text" || { echo "FAIL: it differs" >&2; exit 1; }
bash "$(dirname "$0")/compare_trace.sh" "${2%.rec}.trace" "$trace"
