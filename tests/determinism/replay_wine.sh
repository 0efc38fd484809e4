#!/usr/bin/env bash
# shooter.exe --play RECORDING under Wine: the start question answered No, the
# game replays by itself, and it must end as the recording says (frames and
# state digest) with the summary matching EXPECTED (an extended regular
# expression, e.g. "score 50, You win!").
#   replay_wine.sh RECORDING EXPECTED
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/wine_lib.sh"
recording=$1
expected=$2

use_display "$LARGE_DISPLAY"
out=$(mktemp)
trap 'stop_game; rm -f "$out"' EXIT
(cd "$SHOOTER_RUN_DIR" && exec wine "$SHOOTER_EXE" --play "Z:$recording" </dev/null >"$out" 2>&1) &
game_pid=$!
wait_window '^Start FullScreen\?$' >/dev/null || fail "no start question"
answer_box '^Start FullScreen\?$' n
expect_exit 0 120
tr -d '\r' <"$out"
grep -qE "^Replayed game: .*$expected" "$out" || fail "no summary matching '$expected'"
grep -q '^The replay ended as the recorded game did' "$out" || fail "the replay differs"
