# Shared by the Wine end-to-end scripts (sourced, not run): picks the X
# server, runs shooter.exe under Wine in the game's folder, reads its windows
# with the probe and drives them with xdotool.
#
# Environment (set by tests/e2e/windows.cmake): SHOOTER_EXE, SHOOTER_PROBE,
# SHOOTER_RUN_DIR, WINEPREFIX; SHOOTER_DISPLAY_LARGE (default :99, a
# 1024x768 screen) and SHOOTER_DISPLAY_SMALL (default :98, 640x480).
set -u

: "${SHOOTER_EXE:?}" "${SHOOTER_PROBE:?}" "${SHOOTER_RUN_DIR:?}" "${WINEPREFIX:?}"
LARGE_DISPLAY=${SHOOTER_DISPLAY_LARGE:-:99}
SMALL_DISPLAY=${SHOOTER_DISPLAY_SMALL:-:98}
WINE_WARMUP="$(cd "$(dirname "${BASH_SOURCE[0]}")/../support" && pwd)/wine-warmup"
game_pid=""

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

skip() {
  echo "SKIP: $*"
  exit 77
}

# Selects the X server for what follows; skips the test when there is none.
# Xvfb now and then resets a connection opened just as another client closes
# one: the server is asked up to five times.
use_display() {
  command -v wine >/dev/null 2>&1 || skip "wine is not installed"
  command -v xdotool >/dev/null 2>&1 || skip "xdotool is not installed"
  export DISPLAY=$1
  local attempt
  for attempt in 1 2 3 4 5; do
    xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  skip "no X server answers on $DISPLAY"
}

# The game is ended when the script ends, whatever happened.
stop_game() {
  if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then
    kill "$game_pid" 2>/dev/null
    wait "$game_pid" 2>/dev/null
  fi
  game_pid=""
}
trap stop_game EXIT

# Starts the game with the given command line options.
start_game() {
  [ -f "$SHOOTER_EXE" ] || fail "no game at $SHOOTER_EXE"
  (cd "$SHOOTER_RUN_DIR" && exec wine "$SHOOTER_EXE" "$@" </dev/null >/dev/null 2>&1) &
  game_pid=$!
}

# Waits until a window whose title matches the regular expression exists and
# prints its X id.
wait_window() {
  local pattern=$1 seconds=${2:-15} id
  local tries=$((seconds * 10))
  while [ "$tries" -gt 0 ]; do
    id=$(xdotool search --name "$pattern" 2>/dev/null | head -n 1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    [ -n "$game_pid" ] && ! kill -0 "$game_pid" 2>/dev/null && return 1
    sleep 0.1
    tries=$((tries - 1))
  done
  return 1
}

window_exists() {
  [ -n "$(xdotool search --name "$1" 2>/dev/null | head -n 1)" ]
}

# Waits for the game window and fails with the game's own words when start-up
# stopped at an error box instead (missing or unreadable data files, ...).
wait_game_window() {
  wait_window '^First Person Shooter$' >/dev/null || fail "no game window ($1)"
  sleep 0.5
  local caption
  for caption in Error ERROR; do
    if window_exists "^$caption\$"; then
      fail "start-up stopped with a message box:
$(probe texts "$caption")"
    fi
  done
}

# Answers a message box with a key. A box that has only just appeared may not
# take keys yet, so the key is sent again until the box is gone.
answer_box() {
  local pattern=$1 key=$2 attempt wait id
  for attempt in 1 2 3 4 5 6 7 8 9 10; do
    sleep 0.3
    id=$(xdotool search --name "$pattern" 2>/dev/null | head -n 1)
    [ -n "$id" ] || return 0
    # Without a window manager nobody else gives the box the keyboard.
    xdotool windowfocus "$id" 2>/dev/null
    xdotool key "$key"
    for wait in 1 2 3 4 5 6 7 8 9 10; do
      window_exists "$pattern" || return 0
      sleep 0.1
    done
  done
  fail "the box '$pattern' did not take the key $key (focus on $(xdotool getwindowfocus 2>&1), box $id)"
}

# Holds a key down in the game window for a quarter second: the game reads
# held keys once per frame, so a key that goes down and up between two frames
# is never seen.
press_key() {
  local id
  id=$(xdotool search --name '^First Person Shooter$' 2>/dev/null | head -n 1)
  [ -n "$id" ] && xdotool windowfocus "$id" 2>/dev/null
  xdotool keydown "$1"
  sleep 0.25
  xdotool keyup "$1"
}

# Waits for the game to end and checks its exit code.
expect_exit() {
  local expected=$1 seconds=${2:-10} status
  local tries=$((seconds * 10))
  while kill -0 "$game_pid" 2>/dev/null; do
    [ "$tries" -gt 0 ] || fail "the game did not end within $seconds s"
    sleep 0.1
    tries=$((tries - 1))
  done
  wait "$game_pid"
  status=$?
  game_pid=""
  [ "$status" -eq "$expected" ] || fail "exit code $status, expected $expected"
  echo "the game ended with exit code $status"
}

# Runs the probe inside Wine; prints its "key value" lines.
probe() {
  (cd "$SHOOTER_RUN_DIR" && wine "$SHOOTER_PROBE" "$@" </dev/null 2>/dev/null) | tr -d '\r'
}

# The value of one "key value..." line of probe output.
field() {
  printf '%s\n' "$1" | sed -n "s/^$2 //p" | head -n 1
}

expect_line() {
  printf '%s\n' "$1" | grep -qxF -- "$2" || fail "expected the line '$2' in:
$1"
}

# Starts this prefix's Wine session afresh on the given X server (Wine takes
# the screen from the session's first X connection).
restart_wine_on() {
  SHOOTER_DISPLAY_LARGE=$1 bash "$WINE_WARMUP" >/dev/null || fail "wine did not start on $1"
}
