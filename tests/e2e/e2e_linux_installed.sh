#!/bin/bash
# The installed command ($1) as a player meets it, from the current folder
# (any folder but the game's own): --help and --version answer without a
# display; a recorded game in a window writes its relative file name into
# this folder, and the window carries the game's icon; Escape ends it with
# exit code 0.
. "$(dirname "$0")/e2e_linux_lib.sh"
command=$1
here=$(pwd)

usage=$(env -u DISPLAY -u WAYLAND_DISPLAY "$command" --help) || e2e_fail "--help did not exit with 0"
[[ "$usage" == "Usage: shooter "* ]] || e2e_fail "--help printed no usage: ${usage:0:200}"
version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$command" --version) ||
  e2e_fail "--version did not exit with 0"
[[ "$version" =~ ^shooter\ [0-9] ]] || e2e_fail "--version printed '$version'"
echo "--help and --version answer without a display"

e2e_use_display
e2e_need_box_fonts
rm -f rel.rec
# --window answers the start question before it is asked; a game without the
# option is asked, and answers No.
if grep -q -- '--window' <<<"$usage"; then
  setsid "$command" --window --record rel.rec </dev/null &
  GAME_PID=$!
  windowed_option=1
else
  setsid "$command" --record rel.rec </dev/null &
  GAME_PID=$!
  e2e_answer_start_question Escape
  windowed_option=0
fi
win=$(e2e_find_window "First Person Shooter" 15) || e2e_fail "no game window appeared"
icon=$(e2e_x xprop -id "$win" _NET_WM_ICON) || e2e_fail "xprop could not read the window"
if [ $windowed_option -eq 1 ]; then
  # xprop draws each picture of the property ("Icon (16 x 16):"); an older
  # one lists the numbers: width, height, then the pixels.
  sizes=$(grep -oE 'Icon \([1-9][0-9]* x [1-9][0-9]*\)' <<<"$icon" | tr '\n' ' ')
  [ -n "$sizes" ] || [[ "$icon" =~ \(CARDINAL\)\ =\ [1-9] ]] || e2e_fail "the window has no icon: $icon"
  echo "the window carries an icon: ${sizes:-$(head -c 60 <<<"$icon")}"
else
  echo "this build has no --window option: the window's icon is not checked"
fi
sleep 0.5
e2e_key_to "$win" Escape
e2e_expect_exit 10 0
[ "$(head -c 8 "$here/rel.rec" 2>/dev/null)" = SHOOTREC ] ||
  e2e_fail "no recording rel.rec was written in $here"
echo "PASS: the recording is $here/rel.rec ($(stat -c %s "$here/rel.rec") bytes)"
