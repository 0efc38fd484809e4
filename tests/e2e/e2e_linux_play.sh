#!/bin/bash
# A short play in a window: walking keys, mouse look across the band edges and
# a few shots (the sound plays, or stays silent without a device, and never
# holds the game up); the game keeps running and Escape still ends it with 0.
. "$(dirname "$0")/e2e_linux_lib.sh"
e2e_use_display
e2e_need_box_fonts

e2e_start_game "$1"
e2e_answer_start_question Escape
win=$(e2e_find_window "First Person Shooter" 15) || e2e_fail "no game window appeared"
e2e_x xdotool windowfocus --sync "$win" 2>/dev/null || e2e_fail "could not focus the game"
e2e_x xdotool keydown w 2>/dev/null; sleep 0.3; e2e_x xdotool keyup w 2>/dev/null
e2e_x xdotool keydown Left 2>/dev/null; sleep 0.2; e2e_x xdotool keyup Left 2>/dev/null
for x in 100 300 380 5 200; do
  e2e_x xdotool mousemove --window "$win" "$x" 200
  sleep 0.05
done
for shot in 1 2 3; do
  e2e_x xdotool click 1
  sleep 0.2
done
sleep 0.5
kill -0 "$GAME_PID" 2>/dev/null || e2e_fail "the game ended during play"
e2e_key_to "$win" Escape
e2e_expect_exit 10 0
echo "PASS"
