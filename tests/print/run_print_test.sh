#!/bin/sh
# Runs inside xvfb-run: starts a private cupsd with a cups-pdf queue as the
# default printer (cupsd.sh), runs the real program, chooses Print Help
# with Ctrl+P, accepts the print dialog with Return, quits the program with
# Ctrl+Q and checks the PDF the queue wrote (check_print.py).
#   run_print_test.sh TEXT SCRANDLE
#   TEXT: help     - the designed help text, printed from the main window
#         three    - a text of three pages typed into the Help window
#         empty    - the Help window's text deleted
#         rejected - the designed text, on a queue that refuses jobs
#                    (cupsreject): the program must say so, naming the
#                    queue and the reason, and no job or PDF is made
# Exits 77 (skipped) when it cannot run its own cupsd (not root).
set -u
HERE=$(cd "$(dirname "$0")" && pwd)
TEXT=$1
PROGRAM=$2
. "$HERE/cupsd.sh"
. "$HERE/../app/xvfb/scrandle_keys.sh"

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
# What the program is to print, LF line ends, for the checks.
PRINTED="$CUPS_TEST_DIR/printed.txt"

QT_QPA_PLATFORM=xcb timeout -k 5 90 "$PROGRAM" &
PID=$!
MAIN=$(scrandle_window '^Scrandle\?$')
[ -n "$MAIN" ] || fail "the main window did not appear"

# Where Ctrl+P is typed: the main window for the designed text (its Print
# Help makes the Help window), else the Help window with its text changed.
case "$TEXT" in
  help|rejected)
    cp "$HERE/../../resources/texts/help.txt" "$PRINTED"
    TARGET=$MAIN
    ;;
  three|empty)
    scrandle_help_menu 1 || fail "cannot choose Show Help"
    TARGET=$(scrandle_window '^Help$')
    [ -n "$TARGET" ] || fail "the Help window did not appear"
    xdotool windowfocus --sync "$TARGET" || fail "cannot focus the Help window"
    xdotool key ctrl+a BackSpace
    : > "$PRINTED"
    if [ "$TEXT" = three ]; then
      # 140 short lines: three pages at any line height from 9.7 to 14.2
      # points (56 lines a page in Courier 10 bold).
      # One xdotool run types them all as key names, Return between lines
      # (xdotool type would send a line feed, which is no key Qt takes).
      set --
      i=1
      while [ "$i" -le 140 ]; do
        if [ "$i" -gt 1 ]; then
          printf '\n' >> "$PRINTED"
          set -- "$@" Return
        fi
        printf 'Line %d' "$i" >> "$PRINTED"
        set -- "$@" L i n e space $(printf '%d' "$i" | sed 's/./& /g')
        i=$((i + 1))
      done
      xdotool key --delay 2 "$@"
    fi
    ;;
  *)
    fail "unknown text '$TEXT'"
    ;;
esac

# Quits the program from its main window (Ctrl+Q) and checks that it ended
# with status 0.
quit_program() {
  xdotool windowfocus --sync "$MAIN" || fail "cannot focus the main window"
  xdotool key ctrl+q
  wait "$PID"
  STATUS=$?
  PID=""
  [ "$STATUS" -eq 0 ] || fail "the program ended with status $STATUS"
}

if [ "$TEXT" = rejected ]; then
  cupsreject "$CUPS_TEST_QUEUE" || fail "cannot make the queue refuse jobs"
fi

BEGAN=$(date +%s)
xdotool windowfocus --sync "$TARGET" || fail "cannot focus the window for Ctrl+P"
xdotool key ctrl+p
DIALOG=$(timeout 20 xdotool search --sync --onlyvisible --name '^Print$' | head -n 1)
[ -n "$DIALOG" ] || fail "the print dialog did not appear"
xdotool windowfocus --sync "$DIALOG" || fail "cannot focus the print dialog"
xdotool key Return

if [ "$TEXT" = rejected ]; then
  # The message box (titled with the program's name), once the Help window
  # has closed. (Its wording is checked in-process, run_with_cupsd.sh.)
  # A search may give up when a window it looks at goes (the Help window
  # closing): look again until the time is up.
  BOX=
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    BOX=$(scrandle_window '^Scrandle$')
    [ -n "$BOX" ] && break
    sleep 0.2
  done
  [ -n "$BOX" ] || fail "no message told of the refused job"
  [ -z "$(xdotool search --onlyvisible --name '^Help$' 2>/dev/null)" ] || fail "a Help window is still open"
  xdotool windowfocus --sync "$BOX" || fail "cannot focus the message box"
  xdotool key Return
  sleep 0.5
  [ -z "$(lpstat -W all -o "$CUPS_TEST_QUEUE" 2>/dev/null)" ] || fail "a job reached the queue that refuses jobs"
  [ -z "$(ls "$CUPS_TEST_OUT" 2>/dev/null)" ] || fail "the refusing queue wrote a file"
  [ -z "$(xdotool search --onlyvisible --name '^Scrandle$' 2>/dev/null)" ] || fail "the message box is still open"
  quit_program
  exit 0
fi

# The job is handed to the queue as the command ends, after it has closed
# the Help window.
i=0
until lpstat -W all -o "$CUPS_TEST_QUEUE" 2>/dev/null | grep -q .; do
  i=$((i + 1))
  [ "$i" -le 600 ] || fail "no print job reached the queue"
  sleep 0.1
done
cupsd_wait_idle 60 || fail "the print job did not finish"
ENDED=$(date +%s)
lpstat -W completed -o "$CUPS_TEST_QUEUE" | grep -q . || fail "no job was completed"
[ -z "$(xdotool search --onlyvisible --name '^Help$' 2>/dev/null)" ] || fail "a Help window is still open"

quit_program

PDF=$(ls "$CUPS_TEST_OUT"/*.pdf 2>/dev/null | head -n 1)
[ -n "$PDF" ] || fail "the queue wrote no PDF"
python3 "$HERE/check_print.py" "$PDF" "$TEXT" "$PRINTED" "$BEGAN" "$ENDED"
exit $?
