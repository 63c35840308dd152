#!/bin/sh
# Runs inside xvfb-run: starts a private cupsd with a cups-pdf queue as the
# default printer (cupsd.sh), prints through the real print dialog,
# accepting it with Return, and checks the PDF the queue wrote
# (check_print.py).
#   run_print_test.sh TEXT PROGRAM
#   TEXT: help (the designed help text), three (three pages), empty
# Exits 77 (skipped) when it cannot run its own cupsd (not root).
set -u
HERE=$(cd "$(dirname "$0")" && pwd)
TEXT=$1
PROGRAM=$2
. "$HERE/cupsd.sh"

PID=""
fail() {
  echo "run_print_test: $*" >&2
  [ -n "$PID" ] && kill "$PID" 2>/dev/null && wait "$PID" 2>/dev/null
  cupsd_stop
  exit 1
}

cupsd_start
STARTED=$?
[ "$STARTED" -eq 0 ] || exit "$STARTED"
trap 'cupsd_stop' EXIT
trap 'exit 1' INT TERM HUP
PRINTED="$CUPS_TEST_DIR/printed.txt"

# Bringing up the print dialog: the one step that differs between this
# test program, which opens the dialog at once, and the real program,
# where the Help window's text is typed first and Ctrl+P chooses Print Help.
start_printing() {
  QT_QPA_PLATFORM=xcb timeout -k 5 60 "$PROGRAM" "$TEXT" "$PRINTED" &
  PID=$!
}

BEGAN=$(date +%s)
start_printing
# Without a window manager: focus the dialog, then type to it (keys sent
# to a window with --window are ignored by Qt).
DIALOG=$(timeout 20 xdotool search --sync --onlyvisible --name '^Print$' | head -n 1)
[ -n "$DIALOG" ] || fail "the print dialog did not appear"
xdotool windowfocus --sync "$DIALOG" || fail "cannot focus the print dialog"
xdotool key Return

wait "$PID"
STATUS=$?
PID=""
[ "$STATUS" -eq 0 ] || fail "the program ended with status $STATUS"
cupsd_wait_idle 60 || fail "the print job did not finish"
lpstat -W completed -o "$CUPS_TEST_QUEUE" | grep -q . || fail "no job was completed"

PDF=$(ls "$CUPS_TEST_OUT"/*.pdf 2>/dev/null | head -n 1)
[ -n "$PDF" ] || fail "the queue wrote no PDF"
python3 "$HERE/check_print.py" "$PDF" "$TEXT" "$PRINTED" "$BEGAN" "$(date +%s)"
exit $?
