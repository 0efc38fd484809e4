#!/bin/bash
# With --switch-mode full screen switches the display to 640x480, which a
# 1024x768 screen does not offer: Yes to the start question brings the
# fallback question. No to it shows "Program Will Now Close." and ends; Yes
# to it runs the game in a window.
. "$(dirname "$0")/e2e_linux_lib.sh"
e2e_use_display
e2e_need_box_fonts

# No: the program closes.
e2e_start_game "$1" --switch-mode
e2e_answer_start_question Return
box=$(e2e_find_window "Quarl GL" 15) || e2e_fail "no fallback question appeared"
e2e_answer "$box" Escape
box=$(e2e_find_window "ERROR" 15) || e2e_fail "no closing message appeared"
! e2e_window_exists "First Person Shooter" || e2e_fail "a game window was opened"
e2e_answer "$box" Return
e2e_expect_exit 10 0

# Yes: a window.
e2e_start_game "$1" --switch-mode
e2e_answer_start_question Return
box=$(e2e_find_window "Quarl GL" 15) || e2e_fail "no fallback question appeared"
e2e_answer "$box" Return
win=$(e2e_find_window "First Person Shooter" 15) || e2e_fail "no game window appeared"
geometry=$(e2e_geometry "$win")
[ "$geometry" = "0 0 640 480" ] || e2e_fail "client area is '$geometry', expected '0 0 640 480'"
e2e_key_to "$win" Escape
e2e_expect_exit 10 0
echo "PASS"
