#!/bin/bash
# A corrupt model stops start-up: the reader's message, then "Initialization
# Failed.", each in a box and on stderr, and the game ends with a non-zero
# exit code so that a launcher sees the failure.
. "$(dirname "$0")/e2e_linux_lib.sh"
e2e_use_display
e2e_need_box_fonts

game=$(realpath "$1")
dir=$(mktemp -d)
trap 'e2e_cleanup; rm -rf "$dir"' EXIT
# The model's version field (bytes 4 to 7) says 9 instead of 8.
{ head -c 4 tris.md2; printf '\011\000\000\000'; tail -c +9 tris.md2; } >"$dir/tris.md2"

cd "$dir" || e2e_fail "no folder"
setsid "$game" </dev/null 2>"$dir/stderr" &
GAME_PID=$!
e2e_answer_start_question Escape
box=$(e2e_find_window "Error" 15) || e2e_fail "no message from the model reader"
e2e_answer "$box" Return
box=$(e2e_find_window "ERROR" 15) || e2e_fail "no \"Initialization Failed.\" message"
! e2e_window_exists "First Person Shooter" || e2e_fail "the game window is still there"
e2e_answer "$box" Return
e2e_expect_exit 10 1
cat "$dir/stderr"
awk -v first="Error: Invalid file format (Version not 8): tris.md2!" \
    -v second="ERROR: Initialization Failed." '
  $0 == first && !a { a = NR }
  $0 == second && !b { b = NR }
  END { exit !(a && b && a < b) }' "$dir/stderr" ||
  e2e_fail "stderr does not hold the reader's message followed by \"Initialization Failed.\""
echo "PASS"
