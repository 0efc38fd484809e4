#!/bin/bash
# A damaged wall bitmap claiming 67,108,864 x 1 pixels: the reader refuses it
# with a message, the game plays with that texture empty, stays small in
# memory, and Escape ends it with exit code 0.
. "$(dirname "$0")/e2e_linux_lib.sh"
e2e_use_display
e2e_need_box_fonts

game=$(realpath "$1")
dir=$(mktemp -d)
trap 'e2e_cleanup; rm -rf "$dir"' EXIT
cp -r . "$dir/run" || e2e_fail "could not copy the data files"
bash "$(dirname "$0")/damaged_bitmap.sh" "$dir/run/Data/walls.bmp"
[ "$(stat -c %s "$dir/run/Data/walls.bmp")" = 64 ] || e2e_fail "the damaged bitmap is not 64 bytes"

cd "$dir/run" || e2e_fail "no folder"
setsid "$game" </dev/null 2>"$dir/stderr" &
GAME_PID=$!
e2e_answer_start_question Escape
box=$(e2e_find_window "Error" 15) || e2e_fail "no message about the damaged bitmap"
e2e_answer "$box" Return
win=$(e2e_find_window "First Person Shooter" 15) || e2e_fail "no game window after the message"
sleep 1
kill -0 "$GAME_PID" 2>/dev/null || e2e_fail "the game ended on its own"
peak=$(awk '/^VmHWM:/ { print $2 }' "/proc/$GAME_PID/status")
echo "peak resident memory: ${peak} kB"
[ -n "$peak" ] && [ "$peak" -lt 400000 ] || e2e_fail "the game used ${peak} kB (limit 400000 kB)"
grep -q 'Data/walls.bmp' "$dir/stderr" || e2e_fail "stderr does not name the damaged file"
e2e_key_to "$win" Escape
e2e_expect_exit 10 0
echo "PASS"
