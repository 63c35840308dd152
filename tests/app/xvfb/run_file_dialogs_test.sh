#!/bin/sh
# Runs inside xvfb-run: the real program with a fresh, empty home folder.
# Load File: types "/proc/" into the dialog's name box (the dialog must list
# it without reading /proc/kmsg, which never ends), then the full path of a
# file whose name holds quotes and blanks. Save File: types a new name with
# quotes, a leading dash and blanks. Checks that the saved file is exactly
# the loaded one, under exactly the typed name, that nothing else was
# written in the two folders or under the home folder, and that the program
# quits with status 0.
#   run_file_dialogs_test.sh PROGRAM
set -u
APP=$1
HOME_DIR=$(mktemp -d)
WORK=$(mktemp -d)
PID=

cleanup() {
  [ -n "$PID" ] && kill "$PID" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$HOME_DIR" "$WORK"
}
fail() {
  echo "run_file_dialogs_test: $*" >&2
  cleanup
  exit 1
}

# Windows of that title (an anchored pattern): waits up to SECONDS for one;
# gone waits as long for none to be left.
wait_for() {
  timeout "$2" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1
}
gone() {
  i=0
  while [ -n "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ]; do
    i=$((i + 1))
    [ "$i" -gt $(($2 * 10)) ] && return 1
    sleep 0.1
  done
}

IN_NAME='in "quoted" one.txt'
OUT_NAME='-rf say "hi" .txt'
printf 'caf\303\251 \342\200\234text\342\200\235\r\nsecond line' >"$WORK/$IN_NAME"

HOME=$HOME_DIR QT_QPA_PLATFORM=xcb timeout -k 5 60 "$APP" &
PID=$!

MAIN=$(wait_for '^Scrandle\?$' 20)
[ -n "$MAIN" ] || fail "the window 'Scrandle?' did not appear"
# Below the menu bar the window is 500 high; the Load and Save buttons of
# the left area are at (39, 428) and (177, 428), 80 wide.
BAR=$(( $(xdotool getwindowgeometry "$MAIN" | sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p') - 500 ))

xdotool windowfocus --sync "$MAIN" || fail "cannot focus the window"
xdotool mousemove --sync 79 $((BAR + 438)) click 1
OPEN=$(wait_for '^Select a Text file$' 10)
[ -n "$OPEN" ] || fail "Load File showed no dialog"
xdotool windowfocus --sync "$OPEN"
xdotool type --delay 10 '/proc/'
xdotool key Return
xdotool type --delay 10 "$WORK/$IN_NAME"
xdotool key Return
gone '^Select a Text file$' 15 || fail "the open dialog did not take the typed name (frozen?)"

# A click made while the program still reads the file is dropped, as input
# made while it works is: click until the dialog shows.
xdotool windowfocus --sync "$MAIN" || fail "cannot focus the window after loading"
SAVE=
for _ in 1 2 3 4 5 6 7 8 9 10; do
  xdotool mousemove --sync 217 $((BAR + 438)) click 1
  SAVE=$(wait_for '^Save As$' 2)
  [ -n "$SAVE" ] && break
done
[ -n "$SAVE" ] || fail "Save File showed no dialog"
xdotool windowfocus --sync "$SAVE"
xdotool type --delay 10 "$WORK/$OUT_NAME"
xdotool key Return
gone '^Save As$' 10 || fail "the save dialog did not take the typed name"

xdotool windowfocus --sync "$MAIN" || fail "cannot focus the window to quit"
xdotool key ctrl+q
wait "$PID"
STATUS=$?
PID=
[ "$STATUS" -eq 0 ] || fail "the program ended with status $STATUS"

cmp "$WORK/$IN_NAME" "$WORK/$OUT_NAME" || fail "the saved file is not the loaded one, under the typed name"
LEFT=$(ls -A "$WORK" | LC_ALL=C sort | tr '\n' '|')
[ "$LEFT" = "$OUT_NAME|$IN_NAME|" ] || fail "the folder holds: $LEFT"
WRITTEN=$(find "$HOME_DIR" -mindepth 1)
[ -z "$WRITTEN" ] || fail "written under the home folder: $WRITTEN"
echo "run_file_dialogs_test: saved under the typed name, nothing under the home folder"
cleanup
exit 0
