#!/bin/bash
# Where no display can be opened (DISPLAY unset, or naming no server, or only
# another driver asked for) the game refuses to start: a line on stderr and
# exit code 1 within seconds, instead of an invisible game on SDL's offscreen
# driver that never ends.
game=$1
err=$(mktemp)
trap 'rm -f "$err"' EXIT

n=7391
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
# DISPLAY unset; naming no server; unset with X11 asked for by name.
for run in unset ":$n" "unset x11"; do
  display=${run%% *}
  driver=
  [ "$run" = "$display" ] || driver=${run#* }
  start=$(date +%s%N)
  vars=(-u WAYLAND_DISPLAY -u SDL_VIDEODRIVER)
  if [ "$display" = unset ]; then vars+=(-u DISPLAY); else vars+=(DISPLAY="$display"); fi
  [ -z "$driver" ] || vars+=(SDL_VIDEODRIVER="$driver")
  env "${vars[@]}" timeout -s KILL 30 "$game" </dev/null >/dev/null 2>"$err"
  code=$?
  ms=$((($(date +%s%N) - start) / 1000000))
  echo "DISPLAY $display${driver:+, SDL_VIDEODRIVER $driver}: exit code $code after $ms ms; stderr:"
  cat "$err"
  [ "$code" -ne 137 ] || { echo "FAIL: the game was still running after 30 s"; exit 1; }
  [ "$code" -eq 1 ] || { echo "FAIL: exit code $code, not 1, without a display"; exit 1; }
  grep -q "no display" "$err" || { echo "FAIL: nothing said on stderr"; exit 1; }
  [ "$ms" -lt 5000 ] || { echo "FAIL: the refusal took $ms ms"; exit 1; }
done
echo "PASS"
