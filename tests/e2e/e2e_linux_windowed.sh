#!/bin/bash
# No to the start question: the game runs in a 640x480 window at the screen's
# top-left corner; Escape ends it with exit code 0.
. "$(dirname "$0")/e2e_linux_lib.sh"
e2e_use_display
e2e_need_box_fonts

e2e_start_game "$1"
e2e_answer_start_question Escape
win=$(e2e_find_window "First Person Shooter" 15) || e2e_fail "no game window appeared"
geometry=$(e2e_geometry "$win")
[ "$geometry" = "0 0 640 480" ] || e2e_fail "client area is '$geometry', expected '0 0 640 480'"
! e2e_window_exists "Start FullScreen?" || e2e_fail "the start question is still open"
sleep 0.5
kill -0 "$GAME_PID" 2>/dev/null || e2e_fail "the game ended on its own"
e2e_key_to "$win" Escape
e2e_expect_exit 10 0
echo "PASS"
