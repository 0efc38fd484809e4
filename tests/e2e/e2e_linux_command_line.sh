#!/bin/bash
# The command line from a terminal, before any window: --help and -h print the
# usage (every option, the variable, the exit codes) on stdout and exit 0;
# --version prints the name and the project's version and exits 0; a mistake
# names the word on stderr, points to --help and exits 1. No display is given:
# a game that went on would refuse for want of one, and say so.
#   e2e_linux_command_line.sh SHOOTER VERSION
game=$1
version=$2
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

fail() { echo "FAIL: $*"; exit 1; }
run() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout -s KILL 20 "$game" "$@" \
    </dev/null >"$out" 2>"$err"
  code=$?
  echo "shooter $*: exit code $code"
}

for option in --help -h; do
  run "$option"
  [ "$code" -eq 0 ] || fail "exit code $code"
  [ ! -s "$err" ] || fail "stderr: $(cat "$err")"
  for name in "--record FILE" "--play FILE" "--trace FILE" --direct-gl "-h, --help" --version \
              SHOOTER_DIRECT_GL; do
    grep -qF -- "$name" "$out" || fail "the usage leaves out $name: $(cat "$out")"
  done
  for code in 0 1 2 3; do  # app/exit_codes.h
    grep -qE "^  $code +[a-z]" "$out" || fail "the usage leaves out exit code $code"
  done
done
cat "$out"

run --version
[ "$code" -eq 0 ] || fail "exit code $code"
[ "$(cat "$out")" = "shooter $version" ] || fail "it printed '$(cat "$out")', not 'shooter $version'"

for word in --recrod -x --Version; do
  run "$word" game.rec
  [ "$code" -eq 1 ] || fail "exit code $code for $word"
  [ ! -s "$out" ] || fail "stdout: $(cat "$out")"
  cat "$err"
  grep -qF "Unknown option \"$word\"" "$err" || fail "the refusal does not name $word"
  grep -qF 'shooter --help' "$err" || fail "the refusal does not point to --help"
  grep -q "no display" "$err" && fail "the game went on to start"
done
echo "PASS"
