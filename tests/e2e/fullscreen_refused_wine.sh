#!/usr/bin/env bash
# shooter.exe --switch-mode (full screen switches the display to 640x480) on
# a screen larger than 640x480, where the display refuses the game's mode: Yes
# to the start question brings the fallback question. No to that ends the
# program after "Program Will Now Close." (default); Yes (argument "windowed")
# runs the game in a window.
source "$(dirname "${BASH_SOURCE[0]}")/wine_lib.sh"
choice=${1:-close}

use_display "$LARGE_DISPLAY"
read -r width height <<<"$(xdotool getdisplaygeometry)"
(( width > 640 || height > 480 )) || skip "the screen on $DISPLAY is only ${width}x${height}"
start_game --switch-mode

wait_window '^(Start FullScreen\?|shooter)$' >/dev/null || fail "no start question"
if window_exists '^shooter$'; then
  texts=$(probe texts shooter)
  answer_box '^shooter$' Return
  skip "this game has no --switch-mode: $texts"
fi
answer_box '^Start FullScreen\?$' Return

wait_window '^Quarl GL$' >/dev/null || fail "no fallback question after Yes"
texts=$(probe texts 'Quarl GL')
expect_line "$texts" "child Static The Requested Fullscreen Mode Is Not Supported By"
expect_line "$texts" "Your Video Card. Use Windowed Mode Instead?"
window_exists '^First Person Shooter$' && fail "the game window exists before the answer"

if [ "$choice" = windowed ]; then
  answer_box '^Quarl GL$' Return
  wait_game_window "after Yes to the fallback"
  info=$(probe window 'First Person Shooter')
  expect_line "$info" "client 640 480"
  style=$(field "$info" style)
  (( (style & 0x00CF0000) == 0x00CF0000 )) || fail "not an overlapped window: $style"
  press_key Escape
  expect_exit 0
else
  answer_box '^Quarl GL$' n
  wait_window '^ERROR$' >/dev/null || fail "no closing message after No"
  texts=$(probe texts 'ERROR')
  expect_line "$texts" "child Static Program Will Now Close."
  expect_line "$texts" "child Button OK"
  answer_box '^ERROR$' Return
  expect_exit 0
  window_exists '^First Person Shooter$' && fail "a game window was left behind"
fi
true
