#!/usr/bin/env bash
# Judges a program by its exit code and its output together (CTest's
# PASS_REGULAR_EXPRESSION alone takes a crash after the right text for a pass).
#   expect_output.sh CODE TEXT COMMAND...
# Passes when COMMAND exits with CODE and its output (stdout and stderr,
# carriage returns dropped) holds TEXT: a line matching the extended regular
# expression TEXT, or, when TEXT is @FILE, the lines of FILE one after another.
code=$1
text=$2
shift 2
output=$("$@" 2>&1)
status=$?
output=${output//$'\r'/}
printf '%s\n' "$output"
if [ "$status" -ne "$code" ]; then
  echo "FAIL: exit code $status, expected $code" >&2
  exit 1
fi
if [ "${text:0:1}" = "@" ]; then
  want=$(tr -d '\r' <"${text:1}") || exit 1
  [ -n "$want" ] || { echo "FAIL: ${text:1} is empty" >&2; exit 1; }
  [[ $'\n'"$output"$'\n' == *$'\n'"$want"$'\n'* ]] ||
    { echo "FAIL: the output lacks the lines of ${text:1}" >&2; exit 1; }
elif ! grep -qE -- "$text" <<<"$output"; then
  echo "FAIL: no line matches '$text'" >&2
  exit 1
fi
