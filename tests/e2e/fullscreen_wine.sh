#!/usr/bin/env bash
# shooter.exe full screen on a 640x480 screen: Yes to the start question
# switches the mode and opens a 640x480 popup window covering the screen;
# Escape ends with exit code 0.
#
# Wine takes the screen size from its session's first X connection, so this
# test runs its own session on the small screen and afterwards starts the
# prefix's session again on the large one.
source "$(dirname "${BASH_SOURCE[0]}")/wine_lib.sh"

use_display "$SMALL_DISPLAY"
read -r width height <<<"$(xdotool getdisplaygeometry)"
[ "$width" -eq 640 ] && [ "$height" -eq 480 ] ||
  skip "the screen on $DISPLAY is ${width}x${height}, not 640x480"

back_to_large() {
  stop_game
  restart_wine_on "$LARGE_DISPLAY"
}
trap back_to_large EXIT
restart_wine_on "$SMALL_DISPLAY"

start_game
wait_window '^Start FullScreen\?$' >/dev/null || fail "no start question"
answer_box '^Start FullScreen\?$' Return

wait_window '^(First Person Shooter|Quarl GL)$' >/dev/null || fail "nothing after Yes"
window_exists '^Quarl GL$' && fail "the fallback question came on a 640x480 screen"
wait_game_window "after Yes"
info=$(probe window 'First Person Shooter')
echo "$info"
expect_line "$info" "rect 0 0 640 480"
expect_line "$info" "client 640 480"
expect_line "$info" "origin 0 0"
style=$(field "$info" style)
(( (style & 0x80000000) != 0 )) || fail "not a popup window: $style"
(( (style & 0x00C00000) == 0 )) || fail "a full-screen window with a caption: $style"
# Client and screen coordinates coincide: the start-up warp lands on (320, 240).
eval "$(xdotool getmouselocation --shell)"
[ "$X" -eq 320 ] && [ "$Y" -eq 240 ] || fail "cursor at $X,$Y after start-up"

press_key Escape
expect_exit 0
