#!/usr/bin/env bash
# shooter.exe with a corrupt model: the reader's message, then "Initialization
# Failed.", and a non-zero exit code so that a launcher sees the failure.
source "$(dirname "${BASH_SOURCE[0]}")/wine_lib.sh"

use_display "$LARGE_DISPLAY"
dir=$(mktemp -d)
trap 'stop_game; rm -rf "$dir"' EXIT
model="$SHOOTER_RUN_DIR/tris.md2"
# The model's version field (bytes 4 to 7) says 9 instead of 8.
{ head -c 4 "$model"; printf '\011\000\000\000'; tail -c +9 "$model"; } >"$dir/tris.md2"
(cd "$dir" && exec wine "$SHOOTER_EXE" </dev/null >/dev/null 2>&1) &
game_pid=$!

wait_window '^Start FullScreen\?$' >/dev/null || fail "no start question"
answer_box '^Start FullScreen\?$' n
# Window titles match without regard to case here: "Error" and "ERROR" are
# told apart by their window ids and texts.
first=$(wait_window '^Error$') || fail "no message from the model reader"
expect_line "$(probe texts 'Error')" "child Static Invalid file format (Version not 8): tris.md2!"
for _ in $(seq 20); do
  xdotool windowfocus "$first" 2>/dev/null
  xdotool key Return
  sleep 0.3
  xdotool search --name '^Error$' 2>/dev/null | grep -qx "$first" || break
done
second=""
for _ in $(seq 100); do
  second=$(xdotool search --name '^Error$' 2>/dev/null | grep -vx "$first" | head -n 1)
  [ -n "$second" ] && break
  sleep 0.1
done
[ -n "$second" ] || fail "no \"Initialization Failed.\" message"
expect_line "$(probe texts 'ERROR')" "child Static Initialization Failed."
window_exists '^First Person Shooter$' && fail "the game window is still there"
answer_box '^ERROR$' Return
expect_exit 1
