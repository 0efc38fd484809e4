#!/bin/bash
# A game recorded now, in a window under Xvfb with xdotool (walking, turning,
# mouse look across the band edges, shots, the read-outs, Escape), replays to
# the same frames, score and state digest.
#   record_replay_linux.sh SHOOTER
. "$(dirname "$0")/../e2e/e2e_linux_lib.sh"
e2e_use_display
e2e_need_box_fonts
work=$(mktemp -d)
trap 'e2e_cleanup; rm -rf "$work"' EXIT

setsid "$1" --record "$work/game.rec" </dev/null >"$work/record.txt" 2>&1 &
GAME_PID=$!
e2e_answer_start_question Escape
win=$(e2e_find_window "First Person Shooter" 15) || e2e_fail "no game window appeared"
e2e_x xdotool windowfocus --sync "$win" 2>/dev/null || e2e_fail "could not focus the game"
e2e_x xdotool keydown w 2>/dev/null; sleep 0.4; e2e_x xdotool keyup w 2>/dev/null
e2e_x xdotool keydown Left 2>/dev/null; sleep 0.3; e2e_x xdotool keyup Left 2>/dev/null
for x in 100 300 380 5 200; do
  e2e_x xdotool mousemove --window "$win" "$x" 150
  sleep 0.05
done
e2e_key_to "$win" f
for shot in 1 2 3; do
  e2e_x xdotool click 1
  sleep 0.2
done
e2e_x xdotool keydown d 2>/dev/null; sleep 0.3; e2e_x xdotool keyup d 2>/dev/null
e2e_key_to "$win" Escape
e2e_expect_exit 10 0
recorded=$(sed -n 's/^Recorded game: //p' "$work/record.txt")
[ -n "$recorded" ] || e2e_fail "no summary after recording: $(cat "$work/record.txt")"
echo "recorded: $recorded"

setsid "$1" --play "$work/game.rec" </dev/null >"$work/play.txt" 2>&1 &
GAME_PID=$!
e2e_answer_start_question Escape
e2e_expect_exit 60 0
replayed=$(sed -n 's/^Replayed game: //p' "$work/play.txt")
echo "replayed: $replayed"
[ "$replayed" = "$recorded" ] || e2e_fail "the replay ended otherwise"
grep -q '^The replay ended as the recorded game did' "$work/play.txt" || e2e_fail "the replay differs"
echo "PASS"
