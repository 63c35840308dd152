#!/bin/sh
# Runs inside xvfb-run: starts the real program, finds its main window,
# ends it one way or the other and checks that it exited with status 0.
#   run_app_test.sh SCRANDLE MODE [SEND_CLOSE_REQUEST]
#   MODE: quit  - focuses the window and types Ctrl+Q (the Quit item)
#         close - sends the window manager's close request (the close box)
set -u
APP=$1
MODE=$2
SENDER=${3:-}

# The program has no give-up of its own; timeout ends it should the test
# fail to, so nothing is left running.
QT_QPA_PLATFORM=xcb timeout -k 5 45 "$APP" &
PID=$!

fail() {
  echo "run_app_test: $*" >&2
  kill "$PID" 2>/dev/null
  wait "$PID" 2>/dev/null
  exit 1
}

WID=$(timeout 20 xdotool search --sync --onlyvisible --name '^Scrandle\?$' | head -n 1)
[ -n "$WID" ] || fail "the window 'Scrandle?' did not appear"

# The content area is 700 pixels wide, and so is the window (no frame
# without a window manager).
WIDTH=$(xdotool getwindowgeometry "$WID" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
[ "$WIDTH" = 700 ] || fail "the window is $WIDTH pixels wide, not 700"

case "$MODE" in
  quit)
    xdotool windowfocus --sync "$WID" || fail "cannot focus the window"
    xdotool key ctrl+q
    ;;
  close)
    "$SENDER" "$WID" || fail "the close request could not be sent"
    ;;
  *)
    fail "unknown mode '$MODE'"
    ;;
esac

wait "$PID"
STATUS=$?
[ "$STATUS" -eq 124 ] && echo "run_app_test: the program did not end" >&2
[ "$STATUS" -ne 0 ] && echo "run_app_test: the program ended with status $STATUS" >&2
exit "$STATUS"
