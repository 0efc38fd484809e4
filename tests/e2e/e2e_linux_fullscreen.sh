#!/bin/bash
# On a 640x480 screen, Yes to the start question runs the game full screen
# with no further question; Escape ends it with exit code 0.
. "$(dirname "$0")/e2e_linux_lib.sh"
e2e_use_display
e2e_need_box_fonts

e2e_start_game "$1"
e2e_answer_start_question Return
win=$(e2e_find_window "First Person Shooter" 15) || e2e_fail "no game window appeared"
! e2e_window_exists "Quarl GL" || e2e_fail "the fallback question appeared"
geometry=$(e2e_geometry "$win")
[ "$geometry" = "0 0 640 480" ] || e2e_fail "the window covers '$geometry', expected '0 0 640 480'"
sleep 0.5
e2e_key_to "$win" Escape
e2e_expect_exit 10 0
echo "PASS"
