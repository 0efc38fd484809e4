#!/usr/bin/env bash
# A bad option or an unwritable trace: a clear message (on the standard error
# stream where no box can be shown) and exit code 1, before any window.
#   bad_option_linux.sh SHOOTER
fail() { echo "FAIL: $*" >&2; exit 1; }
while IFS='|' read -r args message; do
  # shellcheck disable=SC2086  # the options are split on purpose
  text=$("$1" $args </dev/null 2>&1)
  status=$?
  echo "shooter $args -> $status: $(printf '%s' "$text" | head -n 1)"
  [ "$status" -eq 1 ] || fail "shooter $args: exit code $status, expected 1"
  grep -qF "$message" <<<"$text" || fail "shooter $args: no message '$message' in: $text"
  grep -q 'Start FullScreen' <<<"$text" && fail "shooter $args: the game went on to start"
done <<'CASES'
--recrod game.rec|Unknown option "--recrod".
--play|No file after "--play".
--record a.rec --play b.rec|"--play" cannot follow --record or --play
--trace /nonexistent/folder/game.trace|Cannot write the trace "/nonexistent/folder/game.trace".
CASES
echo PASS
