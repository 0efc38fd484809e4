#!/bin/bash
# Where no display can be opened (DISPLAY unset, or naming no server) the game
# refuses to start: a line on stderr and a non-zero exit code within seconds,
# instead of an invisible game on SDL's offscreen driver that never ends.
game=$1
err=$(mktemp)
trap 'rm -f "$err"' EXIT

n=7391
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
for display in unset ":$n"; do
  start=$(date +%s%N)
  if [ "$display" = unset ]; then
    env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout -s KILL 30 "$game" \
      </dev/null >/dev/null 2>"$err"
  else
    env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY="$display" timeout -s KILL 30 "$game" \
      </dev/null >/dev/null 2>"$err"
  fi
  code=$?
  ms=$((($(date +%s%N) - start) / 1000000))
  echo "DISPLAY $display: exit code $code after $ms ms; stderr:"
  cat "$err"
  [ "$code" -ne 137 ] || { echo "FAIL: the game was still running after 30 s"; exit 1; }
  [ "$code" -ne 0 ] || { echo "FAIL: exit code 0 without a display"; exit 1; }
  grep -q "no display" "$err" || { echo "FAIL: nothing said on stderr"; exit 1; }
  [ "$ms" -lt 5000 ] || { echo "FAIL: the refusal took $ms ms"; exit 1; }
done
echo "PASS"
