#!/usr/bin/env bash
# tests/support/with-display: each kind gets a server of its size in its own
# variable, launchers started together get different servers, the command's
# status comes back, and no server outlives its command.
#   with_display_test.sh SOURCE_DIR
set -u
launcher="$1/tests/support/with-display"
command -v Xvfb >/dev/null || { echo "SKIP: Xvfb is not installed"; exit 77; }
command -v xdpyinfo >/dev/null || { echo "SKIP: xdpyinfo is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Prints "VARIABLE=DISPLAY WIDTHxHEIGHT" for each variable named.
report='for v in "$@"; do
  size=$(xdpyinfo -display "${!v}" | sed -n "s/^ *dimensions: *\([0-9x]*\) pixels.*/\1/p")
  echo "$v=${!v} $size"
done'

# kinds | variable | size
while read -r kinds var size; do
  out=$(bash "$launcher" $kinds -- bash -c "$report" _ "$var")
  [[ "$out" =~ ^$var=:[0-9]+\ $size$ ]] || fail "$kinds: '$out', not $var on a $size screen"
done <<'EOF'
large  SHOOTER_DISPLAY_LARGE  1024x768
small  SHOOTER_DISPLAY_SMALL  640x480
wide   SHOOTER_DISPLAY_WIDE   1920x1080
EOF

# Three launchers at once, two kinds each: six servers, all different, and
# DISPLAY is the first kind's.
for i in 1 2 3; do
  bash "$launcher" small wide -- bash -c \
    'echo "$SHOOTER_DISPLAY_SMALL $SHOOTER_DISPLAY_WIDE $DISPLAY"; sleep 2' >"$work/$i" &
done
wait
read -r -a seen < <(cut -d' ' -f1,2 "$work"/1 "$work"/2 "$work"/3 | tr '\n' ' ')
[ ${#seen[@]} -eq 6 ] || fail "launchers side by side started ${#seen[@]} servers, not 6"
[ "$(printf '%s\n' "${seen[@]}" | sort -u | wc -l)" -eq 6 ] ||
  fail "launchers side by side shared a server: ${seen[*]}"
for i in 1 2 3; do
  read -r small _ display <"$work/$i"
  [ "$small" = "$display" ] || fail "DISPLAY $display is not the first kind's $small"
done
for d in "${seen[@]}"; do
  xdpyinfo -display "$d" >/dev/null 2>&1 && fail "the server on $d outlived its command"
done

# The command's exit status, and the launcher's own refusals.
# arguments | status
while read -r status args; do
  eval "bash \"\$launcher\" $args" >/dev/null 2>&1
  got=$?
  [ "$got" -eq "$status" ] || fail "with-display $args: status $got, not $status"
done <<'EOF'
7  large -- bash -c "exit 7"
0  large -- true
2  huge -- true
2  large
2  -- true
EOF
SHOOTER_DISPLAY_POOL=9-x bash "$launcher" large -- true 2>/dev/null
[ $? -eq 2 ] || fail "a malformed pool was not refused"

[ "$failures" -eq 0 ] && echo "with-display: every case passed"
[ "$failures" -eq 0 ]
