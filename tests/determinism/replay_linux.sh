#!/usr/bin/env bash
# shooter --play RECORDING --trace under SDL's offscreen driver: it must end
# with exit code 0, a summary matching EXPECTED (an extended regular
# expression), the verdict that it ended as recorded, and a trace equal to the
# committed RECORDING.trace (the .rec's name with .trace) line by line.
#   replay_linux.sh SHOOTER RECORDING EXPECTED
shooter=$1
recording=$2
expected=$3
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$shooter" --play "$recording" --trace "$out/trace" </dev/null >"$out/text" 2>&1
status=$?
cat "$out/text"
fail() { echo "FAIL: $*" >&2; exit 1; }
[ "$status" -eq 0 ] || fail "exit code $status, expected 0"
grep -qE "^Replayed game: .*$expected" "$out/text" || fail "no summary matching '$expected'"
grep -q '^The replay ended as the recorded game did' "$out/text" || fail "the replay differs"
bash "$(dirname "$0")/compare_trace.sh" "${recording%.rec}.trace" "$out/trace"
