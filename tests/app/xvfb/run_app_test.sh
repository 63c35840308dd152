#!/bin/sh
# Runs inside xvfb-run: starts the real program, finds its main window,
# ends it one way or the other and checks that it exited with status 0.
#   run_app_test.sh SCRANDLE MODE [SEND_CLOSE_REQUEST]
#   MODE: quit    - focuses the window and types Ctrl+Q (the Quit item)
#         close   - sends the window manager's close request (the close box)
#         windows - opens the Help window and the About box from the menu,
#                   checks their titles and sizes, then types Ctrl+Q in the
#                   Help window
set -u
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/scrandle_keys.sh"
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

# Chooses the ITEMth item of the Help menu and checks that a window of the
# title comes up with the outer size (no frame without a window manager);
# leaves its id in OPENED.
#   open_checked ITEM TITLE_REGEX "WIDTH x HEIGHT"
open_checked() {
  scrandle_help_menu "$1" || fail "cannot choose item $1 of the Help menu"
  OPENED=$(scrandle_window "$2")
  [ -n "$OPENED" ] || fail "item $1 of the Help menu opened no window titled $2"
  size="$(scrandle_width "$OPENED") x $(scrandle_height "$OPENED")"
  [ "$size" = "$3" ] || fail "the window $2 is $size, not $3"
  echo "run_app_test: the window $2 is $size"
}

WID=$(scrandle_window '^Scrandle\?$')
[ -n "$WID" ] || fail "the window 'Scrandle?' did not appear"

# The content area is 700 pixels wide, and so is the window (no frame
# without a window manager).
WIDTH=$(scrandle_width "$WID")
[ "$WIDTH" = 700 ] || fail "the window is $WIDTH pixels wide, not 700"

case "$MODE" in
  quit)
    xdotool windowfocus --sync "$WID" || fail "cannot focus the window"
    xdotool key ctrl+q
    ;;
  close)
    "$SENDER" "$WID" || fail "the close request could not be sent"
    ;;
  windows)
    # The main window is 500 high below its menu bar; the Help window's
    # bar is as high, above its 300. The About box has no bar.
    BAR=$(( $(scrandle_height "$WID") - 500 ))
    [ "$BAR" -gt 0 ] || fail "the main window shows no menu bar"
    open_checked 1 '^Help$' "500 x $((300 + BAR))"
    HELP=$OPENED
    open_checked 2 '^About\.\.\.$' "334 x 258"
    xdotool windowfocus --sync "$HELP" || fail "cannot focus the Help window"
    xdotool key ctrl+q
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
