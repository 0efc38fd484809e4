#!/usr/bin/env bash
# shooter.exe in a window: the start question, No, a 640x480 client area at
# the top-left corner, mouse look warping in client coordinates, and the end:
# Escape (default) or the window's close button (first argument "close"),
# both with exit code 0. A second argument is the key that answers the start
# question (default n; Escape cancels the box, which also means a window).
source "$(dirname "${BASH_SOURCE[0]}")/wine_lib.sh"
ending=${1:-escape}
answer=${2:-n}

use_display "$LARGE_DISPLAY"
start_game

wait_window '^Start FullScreen\?$' >/dev/null || fail "no start question"
texts=$(probe texts 'Start FullScreen?')
expect_line "$texts" "child Static Would You Like To Run In Fullscreen Mode(Support Mouse Movement)?"
expect_line "$texts" "child Button &Yes"
expect_line "$texts" "child Button &No"
answer_box '^Start FullScreen\?$' "$answer"

wait_game_window "after answering the start question with $answer"
info=$(probe window 'First Person Shooter')
echo "$info"
expect_line "$info" "class OpenGL"
expect_line "$info" "client 640 480"
expect_line "$info" "visible 1"
read -r left top _ <<<"$(field "$info" rect)"
[ "$left" -eq 0 ] && [ "$top" -eq 0 ] || fail "the window is not at the top-left corner"
style=$(field "$info" style)
(( (style & 0x00CF0000) == 0x00CF0000 )) || fail "not an overlapped window: $style"
(( (style & 0x80000000) == 0 )) || fail "a popup window in windowed mode: $style"
read -r ox oy <<<"$(field "$info" origin)"
(( ox > 0 && oy > 0 )) || fail "the client area should sit inside a frame"

# Start-up placed the cursor at (320, 240) of the client area.
eval "$(xdotool getmouselocation --shell)"
[ "$X" -eq $((ox + 320)) ] && [ "$Y" -eq $((oy + 240)) ] ||
  fail "cursor at $X,$Y after start-up, expected client (320, 240) = $((ox + 320)),$((oy + 240))"

# Leaving the mouse band to the right warps the cursor to its left edge, in
# client coordinates.
xdotool mousemove $((ox + 380)) $((oy + 240))
for _ in $(seq 30); do
  eval "$(xdotool getmouselocation --shell)"
  [ "$X" -ne $((ox + 380)) ] && break
  sleep 0.1
done
[ "$X" -eq $((ox + 10)) ] && [ "$Y" -eq $((oy + 240)) ] ||
  fail "cursor at $X,$Y after leaving the band, expected client (10, 240) = $((ox + 10)),$((oy + 240))"

if [ "$ending" = close ]; then
  button=$(probe close-button 'First Person Shooter')
  read -r bx by <<<"$(field "$button" close-button)"
  [ -n "${bx:-}" ] || fail "no close button found"
  xdotool mousemove "$bx" "$by" click 1
else
  press_key Escape
fi
expect_exit 0
