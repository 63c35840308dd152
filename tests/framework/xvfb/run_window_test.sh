#!/bin/sh
# Runs inside xvfb-run: starts the window program, finds its window, closes
# it one way or the other and checks that the program ended with status 0.
#   run_window_test.sh APP MODE [SEND_CLOSE_REQUEST]
#   MODE: quit  - focuses the window and types Ctrl+Q (the Quit item)
#         close - sends the window manager's close request
set -u
APP=$1
MODE=$2
SENDER=${3:-}
TITLE="Scrandle Xvfb Test"

QT_QPA_PLATFORM=xcb "$APP" &
PID=$!

WID=$(timeout 20 xdotool search --sync --onlyvisible --name "^$TITLE\$" | head -n 1)
if [ -z "$WID" ]; then
  echo "run_window_test: the window '$TITLE' did not appear" >&2
  kill "$PID" 2>/dev/null
  exit 1
fi

case "$MODE" in
  quit)
    xdotool windowfocus --sync "$WID" || { echo "run_window_test: cannot focus the window" >&2; kill "$PID"; exit 1; }
    xdotool key ctrl+q
    ;;
  close)
    "$SENDER" "$WID" || { kill "$PID"; exit 1; }
    ;;
  *)
    echo "run_window_test: unknown mode '$MODE'" >&2
    kill "$PID"
    exit 2
    ;;
esac

wait "$PID"
STATUS=$?
if [ "$STATUS" -ne 0 ]; then
  echo "run_window_test: the program ended with status $STATUS" >&2
fi
exit "$STATUS"
