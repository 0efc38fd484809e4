#!/usr/bin/env bash
# shooter.exe on a 1920x1080 screen that has no 640x480 mode, read back from
# the screen's pixels. The first argument picks the case:
#   fullscreen  Yes to the start question: a borderless window covering the
#               screen at its own mode (xrandr reads the same mode before,
#               during and after), the frame drawn over all of it with the
#               crosshair at its centre; Alt+Enter gives a 640x480 window,
#               and again full screen.
#   dpi192      Wine's DPI at 192: No gives a 1280x960 client area, drawn at
#               that size (the crosshair at its centre); Alt+Enter goes full
#               screen and back to 1280x960.
# Each case then replays a game recorded in a 640x480 window, full screen at
# 1920x1080 (fullscreen) or in the 1280x960 window (dpi192): the trace is the
# committed one, line by line.
#
# The screen is SHOOTER_DISPLAY_WIDE when that is a 1920x1080 server, else one
# this script starts. Wine takes the screen size from its session's first X
# connection, so the prefix's session is started on the wide screen and
# afterwards again on the large one.
source "$(dirname "${BASH_SOURCE[0]}")/wine_lib.sh"
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
case_name=${1:?usage: screen_wine.sh fullscreen|dpi192}

command -v xrandr >/dev/null 2>&1 || skip "xrandr is not installed"
command -v python3 >/dev/null 2>&1 || skip "python3 is not installed"
own_xvfb=""
wide=${SHOOTER_DISPLAY_WIDE:-}
if [ -z "$wide" ] || [ "$(DISPLAY=$wide xdotool getdisplaygeometry 2>/dev/null)" != "1920 1080" ]; then
  command -v Xvfb >/dev/null 2>&1 || skip "no 1920x1080 X server and no Xvfb to start one"
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  own_xvfb=$!
  for _ in $(seq 50); do [ -s "$number_file" ] && break; sleep 0.1; done
  wide=:$(tr -d '\n' <"$number_file")
  rm -f "$number_file"
fi

finish() {
  stop_game
  if [ "$case_name" = dpi192 ]; then
    wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f </dev/null >/dev/null 2>&1
  fi
  restart_wine_on "$LARGE_DISPLAY"
  [ -n "$own_xvfb" ] && kill "$own_xvfb" 2>/dev/null
}
trap finish EXIT
use_display "$wide"
restart_wine_on "$wide"

screen_mode() { xrandr 2>/dev/null | sed -n 's/.*current \([0-9]*\) x \([0-9]*\),.*/\1x\2/p'; }
mode_before=$(screen_mode)
[ "$mode_before" = 1920x1080 ] || skip "the screen on $DISPLAY is $mode_before"
expect_mode() {
  [ "$(screen_mode)" = "$mode_before" ] || fail "the screen's mode changed $1: $(screen_mode)"
}

# The game window's rectangles, after the last switch has settled.
window_info() { probe window 'First Person Shooter'; }

# Alt+Enter to the game window; waits until its style says `want`
# (popup or overlapped).
alt_enter() {
  local want=$1 id info style
  id=$(xdotool search --name '^First Person Shooter$' 2>/dev/null | head -n 1)
  xdotool windowfocus "$id" 2>/dev/null
  xdotool key alt+Return
  for _ in $(seq 50); do
    sleep 0.1
    info=$(window_info)
    style=$(field "$info" style)
    [ -n "$style" ] || continue
    if [ "$want" = popup ]; then
      (((style & 0x80000000) != 0 && (style & 0x00C00000) == 0)) && return 0
    else
      (((style & 0x00CF0000) == 0x00CF0000)) && return 0
    fi
  done
  fail "Alt+Enter did not give a $want window: $info"
}

# The frame fills the client area whose screen rectangle is (x, y, w, h): the
# crosshair sits at its centre, and lit pixels reach its far corner.
expect_frame() {
  local x=$1 y=$2 w=$3 h=$4 pixels cx cy right bottom
  sleep 0.5
  pixels=$(python3 "$HERE/x_screen.py" measure "$x" "$y" "$w" "$h")
  echo "$pixels"
  read -r cx cy <<<"$(field "$pixels" crosshair)"
  [ -n "${cx:-}" ] || fail "no crosshair near the screen's centre"
  (((cx - x - w / 2) ** 2 <= 4 && (cy - y - h / 2) ** 2 <= 4)) ||
    fail "crosshair at $cx,$cy, expected the client area's centre $((x + w / 2)),$((y + h / 2))"
  read -r _ _ right bottom <<<"$(field "$pixels" lit)"
  ((right >= x + w - 1 && bottom >= y + h - 1)) || fail "the frame does not reach $((x + w)),$((y + h))"
}

if [ "$case_name" = dpi192 ]; then
  # What Wine 8 reads as the screen's DPI (the start of each program).
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f \
    </dev/null >/dev/null 2>&1 || fail "could not set Wine's DPI"
fi

start_game
wait_window '^Start FullScreen\?$' >/dev/null || fail "no start question"
if [ "$case_name" = fullscreen ]; then
  answer_box '^Start FullScreen\?$' Return
  wait_window '^(First Person Shooter|Quarl GL)$' >/dev/null || fail "nothing after Yes"
  window_exists '^Quarl GL$' && fail "the fallback question came: full screen asked for a mode"
  wait_game_window "after Yes"
  expect_mode "in full screen"
  info=$(window_info)
  echo "$info"
  expect_line "$info" "rect 0 0 1920 1080"
  expect_line "$info" "client 1920 1080"
  expect_frame 0 0 1920 1080

  alt_enter overlapped
  info=$(window_info)
  echo "$info"
  expect_line "$info" "client 640 480"
  expect_mode "in a window"
  read -r ox oy <<<"$(field "$info" origin)"
  expect_frame "$ox" "$oy" 640 480

  alt_enter popup
  info=$(window_info)
  expect_line "$info" "rect 0 0 1920 1080"
  expect_frame 0 0 1920 1080
else
  answer_box '^Start FullScreen\?$' n
  wait_game_window "after No"
  info=$(window_info)
  echo "$info"
  expect_line "$info" "client 1280 960"
  read -r ox oy <<<"$(field "$info" origin)"
  expect_frame "$ox" "$oy" 1280 960

  alt_enter popup
  expect_line "$(window_info)" "client 1920 1080"
  expect_frame 0 0 1920 1080
  alt_enter overlapped
  expect_line "$(window_info)" "client 1280 960"
fi

press_key Escape
expect_exit 0
expect_mode "after the game"

# The game's state never depends on the window's size.
recording="$HERE/../recordings/walk_look_fire.rec"
trace=$(mktemp)
out=$(mktemp)
if [ "$case_name" = fullscreen ]; then option=--fullscreen; else option=--window; fi
(cd "$SHOOTER_RUN_DIR" &&
  exec wine "$SHOOTER_EXE" "$option" --play "Z:$recording" --trace "Z:$trace" </dev/null >"$out" 2>&1) &
game_pid=$!
wait_game_window "replaying with $option"
info=$(window_info)
if [ "$case_name" = fullscreen ]; then
  expect_line "$info" "client 1920 1080"
else
  expect_line "$info" "client 1280 960"
fi
expect_exit 0 120
grep -q '^The replay ended as the recorded game did' "$out" || fail "the replay differs: $(cat "$out")"
bash "$HERE/../determinism/compare_trace.sh" "${recording%.rec}.trace" "$trace"
rm -f "$trace" "$out"
