#!/usr/bin/env bash
# shooter.exe --play RECORDING --trace under Wine: the start question answered
# No, the game replays by itself, and it must end with exit code 0 as the
# recording says (frames and state digest), with the summary matching EXPECTED
# (an extended regular expression, e.g. "score 50, You win!"), and trace the
# committed RECORDING.trace line by line.
#   replay_wine.sh RECORDING EXPECTED
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/wine_lib.sh"
recording=$1
expected=$2

use_display "$LARGE_DISPLAY"
out=$(mktemp)
trace=$(mktemp)
trap 'stop_game; rm -f "$out" "$trace"' EXIT
(cd "$SHOOTER_RUN_DIR" &&
 exec wine "$SHOOTER_EXE" --play "Z:$recording" --trace "Z:$trace" </dev/null >"$out" 2>&1) &
game_pid=$!
wait_window '^Start FullScreen\?$' >/dev/null || fail "no start question"
answer_box '^Start FullScreen\?$' n
expect_exit 0 120
tr -d '\r' <"$out"
grep -qE "^Replayed game: .*$expected" "$out" || fail "no summary matching '$expected'"
grep -q '^The replay ended as the recorded game did' "$out" || fail "the replay differs"
bash "$(dirname "${BASH_SOURCE[0]}")/compare_trace.sh" "${recording%.rec}.trace" "$trace"
