# Shared pieces of the Linux end-to-end tests (sourced, not run).
#
# SHOOTER_E2E_DISPLAY names the screen a test needs: "large" (a 1024x768 Xvfb,
# $SHOOTER_DISPLAY_LARGE, default :99), "small" (640x480,
# $SHOOTER_DISPLAY_SMALL, default :98) or "wide" (1920x1080,
# $SHOOTER_DISPLAY_WIDE, default :97). A test skips (exit 77) when that X
# server does not answer or has another size.
#
# Windows are found by their exact title with xwininfo: SDL titles are
# UTF8_STRING properties, which `xdotool search --name` does not read.
#
# Xvfb now and then resets a connection that is opened just as another client
# closes one; every X tool call here is therefore retried (e2e_x), and the
# game retries its own connections.

E2E_SKIP=77
GAME_PID=""

e2e_skip() {
  echo "SKIP: $*"
  exit $E2E_SKIP
}

e2e_fail() {
  echo "FAIL: $*"
  exit 1
}

# Runs an X client command, again up to four times while it fails.
e2e_x() {
  local attempt
  for attempt in 1 2 3 4 5; do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# Chooses the X server and checks that it answers with the expected size.
e2e_use_display() {
  local which=${SHOOTER_E2E_DISPLAY:-large} want
  case $which in
    large) export DISPLAY=${SHOOTER_DISPLAY_LARGE:-:99}; want="1024 768" ;;
    small) export DISPLAY=${SHOOTER_DISPLAY_SMALL:-:98}; want="640 480" ;;
    wide) export DISPLAY=${SHOOTER_DISPLAY_WIDE:-:97}; want="1920 1080" ;;
    *) e2e_fail "unknown display kind '$which'" ;;
  esac
  command -v xdotool >/dev/null || e2e_skip "xdotool is not installed"
  command -v xwininfo >/dev/null || e2e_skip "xwininfo is not installed"
  local size
  size=$(e2e_x xdotool getdisplaygeometry 2>/dev/null) || e2e_skip "no X server answers on $DISPLAY"
  [ "$size" = "$want" ] || e2e_skip "$DISPLAY is $size, not $want"
}

# SDL draws its message boxes with the X server's core fonts.
e2e_need_box_fonts() {
  command -v xlsfonts >/dev/null || return 0
  e2e_x xlsfonts -fn '-*-*-medium-r-normal--*-120-*-*-*-*-*-*' >/dev/null 2>&1 ||
    e2e_skip "the X server on $DISPLAY has no core fonts for message boxes (install xfonts-base and restart it)"
}

# Prints the id of the top-level window titled exactly $1 once it is mapped;
# fails after $2 seconds (default 10).
e2e_find_window() {
  local title=$1 end=$((SECONDS + ${2:-10})) id
  while [ $SECONDS -lt $end ]; do
    id=$(xwininfo -root -children 2>/dev/null |
         awk -v t=" \"$title\": (" 'index($0, t) { print $1; exit }')
    if [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
      echo "$id"
      return 0
    fi
    sleep 0.2
  done
  return 1
}

# Whether a top-level window titled exactly $1 exists right now.
e2e_window_exists() {
  local tree
  tree=$(e2e_x xwininfo -root -children 2>/dev/null) || e2e_fail "xwininfo failed"
  grep -qF " \"$1\": (" <<<"$tree"
}

# Starts the game ($1, with the options that follow) in the current folder,
# in its own session so that the clean-up can end it together with a message
# box it may have open.
e2e_start_game() {
  setsid "$@" </dev/null &
  GAME_PID=$!
}

e2e_cleanup() {
  if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then
    kill -KILL -- "-$GAME_PID" 2>/dev/null
    wait "$GAME_PID" 2>/dev/null
  fi
  GAME_PID=""
}
trap e2e_cleanup EXIT

# Waits up to $1 seconds for the game to end and checks its exit code is $2.
e2e_expect_exit() {
  local end=$((SECONDS + $1))
  while kill -0 "$GAME_PID" 2>/dev/null; do
    [ $SECONDS -lt $end ] || e2e_fail "the game did not end within $1 s"
    sleep 0.1
  done
  local code=0
  wait "$GAME_PID" || code=$?
  GAME_PID=""
  [ "$code" = "$2" ] || e2e_fail "the game ended with exit code $code, expected $2"
}

# Answers a message box: Return picks Yes (or OK), Escape picks No.
e2e_answer() {
  e2e_x xdotool key --window "$1" "$2" || e2e_fail "could not answer the message box"
}

# Gives the game window the keyboard and presses a key there for a moment, as
# a person does: the game reads held keys once per frame, so a press and
# release delivered together would go unseen.
e2e_key_to() {
  e2e_x xdotool windowfocus --sync "$1" 2>/dev/null || e2e_fail "could not focus the game"
  e2e_x xdotool keydown "$2" 2>/dev/null || e2e_fail "could not press $2"
  sleep 0.2
  e2e_x xdotool keyup "$2" 2>/dev/null || e2e_fail "could not release $2"
}

# Client-area geometry as "X Y WIDTH HEIGHT".
e2e_geometry() {
  e2e_x xwininfo -id "$1" | awk '
    /Absolute upper-left X:/ { x = $4 }
    /Absolute upper-left Y:/ { y = $4 }
    /^  Width:/ { w = $2 }
    /^  Height:/ { h = $2 }
    END { print x, y, w, h }'
}

# The start question, answered with $1; prints nothing.
e2e_answer_start_question() {
  local box
  box=$(e2e_find_window "Start FullScreen?" 15) || e2e_fail "no start question appeared"
  if e2e_window_exists "First Person Shooter"; then
    e2e_fail "the game window exists before the question was answered"
  fi
  e2e_answer "$box" "$1"
}
