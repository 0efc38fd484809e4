#!/bin/bash
# The game's state never depends on the window's size: a recording made in a
# 640x480 window replays to the committed trace full screen on a 1920x1080
# screen, and in a window made 2560x1080 while it plays.
#   replay_sizes_linux.sh SHOOTER RECORDING
. "$(dirname "$0")/../e2e/e2e_linux_lib.sh"
e2e_use_display
work=$(mktemp -d)
trap 'e2e_cleanup; rm -rf "$work"' EXIT

# replay SHOOTER RECORDING OPTION NAME WIDTH HEIGHT: replays with OPTION,
# sizes a window to WIDTH x HEIGHT, checks that size and the trace.
replay() {
  setsid "$1" "$3" --play "$2" --trace "$work/$4.trace" </dev/null >"$work/$4.txt" 2>&1 &
  GAME_PID=$!
  win=$(e2e_find_window "First Person Shooter" 15) || e2e_fail "no game window ($3)"
  [ "$3" = --window ] && e2e_x xdotool windowsize "$win" "$5" "$6"
  local end=$((SECONDS + 5)) geometry
  while geometry=$(e2e_geometry "$win") && [ "${geometry#* * }" != "$5 $6" ] && [ $SECONDS -lt $end ]; do
    sleep 0.1
  done
  [ "${geometry#* * }" = "$5 $6" ] || e2e_fail "the window is '$geometry', expected $5 x $6 ($3)"
  e2e_expect_exit 120 0
  grep -q '^The replay ended as the recorded game did' "$work/$4.txt" ||
    e2e_fail "the replay differs ($3, $5 x $6)"
  bash "$(dirname "$0")/compare_trace.sh" "${2%.rec}.trace" "$work/$4.trace" ||
    e2e_fail "the replay went otherwise ($3, $5 x $6)"
}
replay "$1" "$2" --fullscreen full 1920 1080
replay "$1" "$2" --window wide 2560 1080
echo "PASS"
