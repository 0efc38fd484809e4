#!/bin/bash
# A game recorded now in a window under Xvfb (walking, turning, mouse look
# across the band edges, shots, the read-outs, Escape) replays to the same
# frames, score and state digest, and to the same state at every frame (the
# two traces are equal line by line). F12, pressed while recording and while
# replaying, saves screenshots in the pictures folder and changes nothing of
# that: the recording holds no record of it.
#   record_replay_linux.sh SHOOTER
. "$(dirname "$0")/../e2e/e2e_linux_lib.sh"
e2e_use_display
e2e_need_box_fonts
work=$(mktemp -d)
trap 'e2e_cleanup; rm -rf "$work"' EXIT
export XDG_PICTURES_DIR="$work/pictures"

setsid "$1" --record "$work/game.rec" --trace "$work/record.trace" </dev/null >"$work/record.txt" 2>&1 &
GAME_PID=$!
e2e_answer_start_question Escape
win=$(e2e_find_window "First Person Shooter" 15) || e2e_fail "no game window appeared"
for key in w F12 Left f; do e2e_key_to "$win" "$key"; done
for x in 100 300 380 5 200; do e2e_x xdotool mousemove --window "$win" "$x" 150; sleep 0.05; done
for shot in 1 2 3; do e2e_x xdotool click 1; sleep 0.2; done
e2e_key_to "$win" Escape
e2e_expect_exit 10 0

setsid "$1" --play "$work/game.rec" --trace "$work/play.trace" </dev/null >"$work/play.txt" 2>&1 &
GAME_PID=$!
e2e_answer_start_question Escape
win=$(e2e_find_window "First Person Shooter" 15) || e2e_fail "no game window for the replay"
e2e_key_to "$win" F12
e2e_expect_exit 60 0
recorded=$(sed -n 's/^Recorded game: //p' "$work/record.txt")
replayed=$(sed -n 's/^Replayed game: //p' "$work/play.txt")
echo "recorded: $recorded"
echo "replayed: $replayed"
[ -n "$recorded" ] && [ "$replayed" = "$recorded" ] || e2e_fail "the replay ended otherwise"
grep -q '^The replay ended as the recorded game did' "$work/play.txt" || e2e_fail "the replay differs"
bash "$(dirname "$0")/compare_trace.sh" "$work/record.trace" "$work/play.trace" ||
  e2e_fail "the replay went otherwise"
shots=$(ls "$work/pictures"/shooter-*.png 2>/dev/null | wc -l)
echo "screenshots: $shots"
[ "$shots" -ge 2 ] || e2e_fail "F12 saved $shots screenshots, not one in each game"
grep -q '^Screenshot saved: ' "$work/record.txt" || e2e_fail "no word of the screenshot saved"
# The recording's records (tag, operand): none is a key of F12's code (0x7B).
python3 - "$work/game.rec" <<'PY' || e2e_fail "the recording holds F12"
import sys
data = open(sys.argv[1], "rb").read()
sizes = {1: 1, 2: 1, 3: 16, 4: 0, 5: 1, 6: 12, 7: 2, 8: 2, 9: 16}
at = 16
while at < len(data):
    tag = data[at]
    if tag in (1, 2) and data[at + 1] == 0x7B or tag in (7, 8) and data[at + 2] == 0x7B:
        sys.exit(1)
    at += 1 + sizes[tag]
PY
echo "PASS"
