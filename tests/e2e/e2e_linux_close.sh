#!/bin/bash
# Closing the game window (as a window manager asks it to) ends the game with
# exit code 0.
. "$(dirname "$0")/e2e_linux_lib.sh"
e2e_use_display
e2e_need_box_fonts
close_window=$2
[ -n "$close_window" ] && [ -x "$close_window" ] || e2e_skip "no close_window helper (Xlib missing)"

e2e_start_game "$1"
e2e_answer_start_question Escape
win=$(e2e_find_window "First Person Shooter" 15) || e2e_fail "no game window appeared"
sleep 0.3
e2e_x "$close_window" "$win" || e2e_fail "could not send the close request"
e2e_expect_exit 10 0
echo "PASS"
