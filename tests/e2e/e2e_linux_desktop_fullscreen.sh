#!/bin/bash
# On a 1920x1080 screen without a 640x480 mode, Yes to the start question
# covers the whole screen at its own mode, with no fallback question: the
# frame is drawn at 1920x1080 with the crosshair at its centre, and the
# screen's mode is the same before, during and after. The window shows the
# game's icon. Alt+Enter gives a window, and full screen again. Arguments: the game, the window_pixels tool.
#
# The game is a replay: left standing at the start, the player is caught by
# the first enemy after about 640 frames, and a slow or busy machine can take
# longer than that over these steps; the end screen is black at the edges. The
# replay walks the player out of that enemy's corridor into one nobody guards,
# then stands there for minutes, whatever the machine's speed. It also takes
# no live mouse, so every frame looks the same on every run.
. "$(dirname "$0")/e2e_linux_lib.sh"
e2e_use_display
e2e_need_box_fonts
command -v xrandr >/dev/null || e2e_skip "xrandr is not installed"
command -v python3 >/dev/null || e2e_skip "python3 is not installed"
[ -x "$2" ] || e2e_skip "no window_pixels tool (the X11 headers were missing)"

mode() { e2e_x xrandr --current 2>/dev/null | awk '$2 ~ /\*/ { print $1 }'; }
before=$(mode)
[ "$before" = 1920x1080 ] || e2e_fail "the screen's mode is '$before' before the game"
if e2e_x xrandr --current | awk '{ print $1 }' | grep -qx 640x480; then
  e2e_skip "the screen offers a 640x480 mode"
fi

# The picture in the window: its size, drawn over the whole of it, and the
# crosshair (the brightest pixels about the centre) at its centre.
# A slow build (the sanitizers') may show the frame late: tried for up to 10 s.
check_frame() {
  local end=$((SECONDS + 10))
  until frame_drawn "$@"; do
    [ $SECONDS -lt $end ] || e2e_fail "the frame is not drawn as it should be"
    sleep 0.5
  done
}
frame_drawn() {
  local frame="$tmp/frame.ppm"
  e2e_x "$2" "$1" >"$frame" || e2e_fail "the window's pixels could not be read"
  python3 - "$frame" "$3" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
magic, size, depth, pixels = data.split(b"\n", 3)
w, h = map(int, size.split())
want = tuple(map(int, sys.argv[2].split("x")))
if (w, h) != want:
    sys.exit("the window is %dx%d, expected %dx%d" % (w, h, *want))
def px(x, y):
    i = (y * w + x) * 3
    return pixels[i], pixels[i + 1], pixels[i + 2]
# The maze reaches every edge: some lit pixel in each outer band.
for name, band in (("left", [(x, y) for x in range(4) for y in range(0, h, 7)]),
                   ("right", [(w - 1 - x, y) for x in range(4) for y in range(0, h, 7)]),
                   ("top", [(x, y) for y in range(4) for x in range(0, w, 7)]),
                   ("bottom", [(x, h - 1 - y) for y in range(4) for x in range(0, w, 7)])):
    if not any(sum(px(x, y)) > 60 for x, y in band):
        sys.exit("nothing is drawn at the %s edge" % name)
# The crosshair: the white pixels within 60 of the centre, centred there.
xs, ys = [], []
for y in range(h // 2 - 60, h // 2 + 60):
    for x in range(w // 2 - 60, w // 2 + 60):
        if min(px(x, y)) >= 235:
            xs.append(x)
            ys.append(y)
if len(xs) < 20:
    sys.exit("no crosshair near the centre (%d white pixels)" % len(xs))
cx = (min(xs) + max(xs) + 1) / 2
cy = (min(ys) + max(ys) + 1) / 2
if abs(cx - w / 2) > 2 or abs(cy - h / 2) > 2:
    sys.exit("the crosshair is centred at (%.1f, %.1f), not (%d, %d)" % (cx, cy, w / 2, h / 2))
PY
}
# The window's geometry once it is $2 (the window system may take a moment),
# or as it is after 5 s.
settled_geometry() {
  local end=$((SECONDS + 5)) geometry
  while :; do
    geometry=$(e2e_geometry "$1")
    [ "$geometry" = "$2" ] || [ "${geometry#* * }" = "$2" ] || [ $SECONDS -ge $end ] || { sleep 0.2; continue; }
    echo "$geometry"
    return
  done
}
tmp=$(mktemp -d)
trap 'e2e_cleanup; rm -rf "$tmp"' EXIT

# The recording (its format: src/app/recording.h): turned west (yaw 90), Up
# held for 86 frames to x = 896; turned north (yaw 0), Up held for 150 frames
# to z = 1156, in the corridor of cells 3 and 4; then three minutes of frames.
python3 - "$tmp/walk.rec" <<'PY'
import struct, sys
rec = bytearray(b"SHOOTREC" + struct.pack("<HHI", 1, 16, 0))
def walk(yaw, frames):
    rec.extend(struct.pack("<Bdd", 9, yaw, 0.0) + b"\x01\x26" + b"\x05\x01" * frames + b"\x02\x26")
walk(90, 86)
rec.extend(b"\x05\x01" * 30)
walk(0, 150)
rec.extend(b"\x05\x01" * (180 * 60))
open(sys.argv[1], "wb").write(rec)
PY

e2e_start_game "$1" --play "$tmp/walk.rec"
e2e_answer_start_question Return
win=$(e2e_find_window "First Person Shooter" 15) || e2e_fail "no game window appeared"
! e2e_window_exists "Quarl GL" || e2e_fail "the fallback question appeared"
geometry=$(settled_geometry "$win" "0 0 1920 1080")
[ "$geometry" = "0 0 1920 1080" ] || e2e_fail "the window covers '$geometry', expected '0 0 1920 1080'"
[ "$(mode)" = "$before" ] || e2e_fail "the screen's mode is '$(mode)' during the game"
# The window carries the game's icon.
e2e_x xprop -id "$win" _NET_WM_ICON | head -1 | grep -q 'Icon (64 x 64)' ||
  e2e_fail "the window has no icon"
sleep 1
check_frame "$win" "$2" 1920x1080

# Alt+Enter: a window, then full screen again, each drawn at its size.
e2e_key_to "$win" alt+Return
geometry=$(settled_geometry "$win" "640 480")
[ "${geometry#* * }" = "640 480" ] || e2e_fail "after Alt+Enter the window is '$geometry', expected 640 x 480"
sleep 0.5
check_frame "$win" "$2" 640x480
e2e_key_to "$win" alt+Return
geometry=$(settled_geometry "$win" "0 0 1920 1080")
[ "$geometry" = "0 0 1920 1080" ] || e2e_fail "after Alt+Enter again the window is '$geometry'"
sleep 0.5
check_frame "$win" "$2" 1920x1080
[ "$(mode)" = "$before" ] || e2e_fail "the screen's mode is '$(mode)' during the game"

# Escape leaves the replay before its end: the game says it could not be
# checked against the recording (exit code 2).
e2e_key_to "$win" Escape
e2e_expect_exit 10 2
[ "$(mode)" = "$before" ] || e2e_fail "the screen's mode is '$(mode)' after the game"
echo "PASS"
