#!/usr/bin/env bash
# shooter.exe with a damaged wall bitmap claiming 67,108,864 x 1 pixels: the
# reader refuses it with a message, the game plays with that texture empty,
# stays small in memory, and Escape ends it with exit code 0.
source "$(dirname "${BASH_SOURCE[0]}")/wine_lib.sh"

use_display "$LARGE_DISPLAY"
dir=$(mktemp -d)
trap 'stop_game; rm -rf "$dir"' EXIT
cp -r "$SHOOTER_RUN_DIR" "$dir/run" || fail "could not copy the data files"
bash "$(dirname "${BASH_SOURCE[0]}")/damaged_bitmap.sh" "$dir/run/Data/walls.bmp"
SHOOTER_RUN_DIR="$dir/run" start_game

wait_window '^Start FullScreen\?$' >/dev/null || fail "no start question"
answer_box '^Start FullScreen\?$' n
wait_window '^Error$' >/dev/null || fail "no message about the damaged bitmap"
expect_line "$(probe texts 'Error')" \
  "child Static Image too large: Data/walls.bmp is 67108864 x 1 pixels; the game takes at most 4096 a side and 4194304 in all."
answer_box '^Error$' Return
wait_game_window "after the damaged bitmap's message"
sleep 1
kill -0 "$game_pid" 2>/dev/null || fail "the game ended on its own"
peak=$(pgrep -f 'shooter\.exe' | while read -r pid; do
  awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status" 2>/dev/null
done | sort -n | tail -n 1)
echo "peak resident memory: ${peak:-unknown} kB"
[ -z "$peak" ] || [ "$peak" -lt 400000 ] || fail "the game used ${peak} kB (limit 400000 kB)"
press_key Escape
expect_exit 0
