#!/usr/bin/env bash
# shooter.exe with a misspelt option: a window program has no console, so the
# refusal is a message box; OK ends the program with exit code 1.
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/wine_lib.sh"

use_display "$LARGE_DISPLAY"
(cd "$SHOOTER_RUN_DIR" && exec wine "$SHOOTER_EXE" --recrod game.rec </dev/null >/dev/null 2>&1) &
game_pid=$!
wait_window '^Recorded game$' >/dev/null || fail "no message box"
expect_line "$(probe texts 'Recorded game')" 'child Static Unknown option "--recrod".'
window_exists '^Start FullScreen\?$' && fail "the game went on to its start question"
answer_box '^Recorded game$' Return
expect_exit 1
