#!/usr/bin/env bash
# shooter.exe's command line under Wine: a window program has no console, so
# every answer is a message box captioned "shooter". A misspelt option is
# named, points to --help, and OK ends the program with exit code 1; --help
# (and -h) shows every option, the variable and the exit codes, and --version
# the name and version, each ending with 0.
#   bad_option_wine.sh VERSION
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/wine_lib.sh"
version=$1

use_display "$LARGE_DISPLAY"
# Runs shooter.exe with the words given and puts its box's texts in $texts.
answer_of() {
  (cd "$SHOOTER_RUN_DIR" && exec wine "$SHOOTER_EXE" "$@" </dev/null >/dev/null 2>&1) &
  game_pid=$!
  wait_window '^shooter$' >/dev/null || fail "no message box for $*"
  sleep 0.3
  texts=$(probe texts shooter)
  echo "$texts"
}

answer_of --recrod game.rec
expect_line "$texts" 'child Static Unknown option "--recrod".'
expect_line "$texts" 'See "shooter --help" for the options.'
window_exists '^Start FullScreen\?$' && fail "the game went on to its start question"
answer_box '^shooter$' Return
expect_exit 1

for option in --help -h; do
  answer_of "$option"
  for name in "--record FILE" "--play FILE" "--trace FILE" --direct-gl "-h, --help" --version \
              SHOOTER_DIRECT_GL; do
    grep -qF -- "$name" <<<"$texts" || fail "the usage leaves out $name"
  done
  for code in 0 1 2 3; do  # app/exit_codes.h
    grep -qE "^  $code +[a-z]" <<<"$texts" || fail "the usage leaves out exit code $code"
  done
  answer_box '^shooter$' Return
  expect_exit 0
done

answer_of --version
expect_line "$texts" "child Static shooter $version"
answer_box '^shooter$' Return
expect_exit 0
