#!/bin/bash
# A game recorded now in a window under Xvfb (walking, turning, mouse look
# across the band edges, shots, the read-outs, Escape) replays to the same
# frames, score and state digest, and to the same state at every frame (the
# two traces are equal line by line).
#   record_replay_linux.sh SHOOTER
. "$(dirname "$0")/../e2e/e2e_linux_lib.sh"
e2e_use_display
e2e_need_box_fonts
work=$(mktemp -d)
trap 'e2e_cleanup; rm -rf "$work"' EXIT

setsid "$1" --record "$work/game.rec" --trace "$work/record.trace" </dev/null >"$work/record.txt" 2>&1 &
GAME_PID=$!
e2e_answer_start_question Escape
win=$(e2e_find_window "First Person Shooter" 15) || e2e_fail "no game window appeared"
for key in w Left f; do e2e_key_to "$win" "$key"; done
for x in 100 300 380 5 200; do e2e_x xdotool mousemove --window "$win" "$x" 150; sleep 0.05; done
for shot in 1 2 3; do e2e_x xdotool click 1; sleep 0.2; done
e2e_key_to "$win" Escape
e2e_expect_exit 10 0

setsid "$1" --play "$work/game.rec" --trace "$work/play.trace" </dev/null >"$work/play.txt" 2>&1 &
GAME_PID=$!
e2e_answer_start_question Escape
e2e_expect_exit 60 0
recorded=$(sed -n 's/^Recorded game: //p' "$work/record.txt")
replayed=$(sed -n 's/^Replayed game: //p' "$work/play.txt")
echo "recorded: $recorded"
echo "replayed: $replayed"
[ -n "$recorded" ] && [ "$replayed" = "$recorded" ] || e2e_fail "the replay ended otherwise"
grep -q '^The replay ended as the recorded game did' "$work/play.txt" || e2e_fail "the replay differs"
bash "$(dirname "$0")/compare_trace.sh" "$work/record.trace" "$work/play.trace" ||
  e2e_fail "the replay went otherwise"
echo "PASS"
