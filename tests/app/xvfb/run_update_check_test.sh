#!/bin/sh
# Runs inside xvfb-run: serves the update file with python3's http.server on
# 127.0.0.1 (any free port), starts the program pointed at it, chooses
# Check Now from the menu, presses Return on the version window ("Check for
# Updates") and on the current-version message, and checks that the server
# was asked for the file, that nothing but the main window is left, and that
# the program then quits with status 0.
# With "long", the file names another version with a description of a
# megabyte: the upgrade dialog must open within a second and lie within the
# screen (1280 x 1024); Escape (Cancel) then ends the check.
#   run_update_check_test.sh PROGRAM UPDATE_FILE PYTHON3 [long]
set -u
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/scrandle_keys.sh"
APP=$1
UPDATE_FILE=$2
PYTHON=$3
MODE=${4:-current}

DIR=$(mktemp -d)
mkdir -p "$DIR/site/Updates"
if [ "$MODE" = long ]; then
  "$PYTHON" -c 'import sys; sys.stdout.write("<CurrentVersion>9.9.9</CurrentVersion><Description>" + "Faster scrambling.\n" * 52000 + "</Description>")' \
    > "$DIR/site/Updates/scrandle.xml"
else
  cp "$UPDATE_FILE" "$DIR/site/Updates/scrandle.xml"
fi
SERVER_PID=
PID=

cleanup() {
  [ -n "$PID" ] && kill "$PID" 2>/dev/null
  [ -n "$SERVER_PID" ] && kill "$SERVER_PID" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$DIR"
}
fail() {
  echo "run_update_check_test: $*" >&2
  echo "server log:" >&2
  cat "$DIR/server.log" >&2
  cleanup
  exit 1
}

"$PYTHON" -u -m http.server 0 --bind 127.0.0.1 --directory "$DIR/site" >"$DIR/server.log" 2>&1 &
SERVER_PID=$!
PORT=
for _ in $(seq 100); do
  PORT=$(sed -n 's/^Serving HTTP on .* port \([0-9]*\).*/\1/p' "$DIR/server.log" | head -n 1)
  [ -n "$PORT" ] && break
  sleep 0.1
done
[ -n "$PORT" ] || fail "the server did not start"

QT_QPA_PLATFORM=xcb timeout -k 5 60 "$APP" "127.0.0.1:$PORT" &
PID=$!

# The visible windows of that title (an anchored pattern); waits up to
# SECONDS for one.
wait_for() {
  timeout "$2" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1
}
visible() {
  xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1
}

MAIN=$(wait_for '^Scrandle\?$' 20)
[ -n "$MAIN" ] || fail "the window 'Scrandle?' did not appear"

# Check For Update > Check Now: the menu has no shortcut, so the keyboard
# walks there from the File menu.
xdotool windowfocus --sync "$MAIN" || fail "cannot focus the main window"
scrandle_key_opens alt+f || fail "Alt+F opened no menu"
scrandle_key_opens Right || fail "the Edit menu did not open"
scrandle_key_opens Right || fail "the Check For Update menu did not open"
xdotool key Return

VERSION=$(wait_for '^Self Test$' 10)
[ -n "$VERSION" ] || fail "Check Now showed no version window"
# Return pushes "Check for Updates", the default button.
xdotool windowfocus --sync "$VERSION" || fail "cannot focus the version window"
xdotool key Return

if [ "$MODE" = long ]; then
  # From the request's arrival at the server to the dialog on screen.
  for _ in $(seq 200); do
    grep -q '"GET /Updates/scrandle.xml HTTP/1.0" 200' "$DIR/server.log" && break
    sleep 0.01
  done
  ASKED=$(date +%s%N)
  DIALOG=
  for _ in $(seq 500); do
    DIALOG=$(visible '^New version available!$')
    [ -n "$DIALOG" ] && break
    sleep 0.01
  done
  SHOWN=$(date +%s%N)
  [ -n "$DIALOG" ] || fail "the upgrade dialog did not open"
  MS=$(( (SHOWN - ASKED) / 1000000 ))
  eval "$(xdotool getwindowgeometry --shell "$DIALOG")"
  echo "run_update_check_test: the dialog opened after $MS ms, ${WIDTH}x${HEIGHT} at $X,$Y"
  [ "$MS" -lt 1000 ] || fail "the dialog took $MS ms to open"
  [ "$X" -ge 0 ] && [ "$Y" -ge 0 ] && [ $((X + WIDTH)) -le 1280 ] && [ $((Y + HEIGHT)) -le 1024 ] ||
    fail "the dialog (${WIDTH}x${HEIGHT} at $X,$Y) does not lie within the screen"
  xdotool windowfocus --sync "$DIALOG" || fail "cannot focus the upgrade dialog"
  xdotool key Escape
  for _ in $(seq 100); do
    [ -z "$(visible '^New version available!$')$(visible '^Update$')" ] && break
    sleep 0.1
  done
  [ -z "$(visible '^New version available!$')" ] || fail "the upgrade dialog is still open"
  [ -z "$(visible '^Update$')" ] || fail "the update window is still open"
  xdotool windowfocus --sync "$MAIN" || fail "cannot focus the main window"
  xdotool key ctrl+q
  wait "$PID"
  STATUS=$?
  PID=
  [ "$STATUS" -ne 0 ] && echo "run_update_check_test: the program ended with status $STATUS" >&2
  cleanup
  exit "$STATUS"
fi

# The current-version message, over the update window. (A message box is
# titled with the program's name.)
BOX=$(wait_for '^Scrandle$' 15)
[ -n "$BOX" ] || fail "no message box appeared"
[ -n "$(visible '^Update$')" ] || fail "the update window is not up behind the message"
[ -z "$(visible '^Self Test$')" ] || fail "the version window is still open"
grep -q '"GET /Updates/scrandle.xml HTTP/1.0" 200' "$DIR/server.log" || fail "the server was not asked for the update file"
xdotool windowfocus --sync "$BOX" || fail "cannot focus the message box"
xdotool key Return

# Nothing but the main window is left.
for _ in $(seq 100); do
  [ -z "$(visible '^Scrandle$')$(visible '^Update$')$(visible '^Self Test$')" ] && break
  sleep 0.1
done
[ -z "$(visible '^Scrandle$')" ] || fail "the message box is still open"
[ -z "$(visible '^Update$')" ] || fail "the update window is still open"
[ -z "$(visible '^Self Test$')" ] || fail "the version window is still open"
[ -n "$(visible '^Scrandle\?$')" ] || fail "the main window has gone"

xdotool windowfocus --sync "$MAIN" || fail "cannot focus the main window"
xdotool key ctrl+q
wait "$PID"
STATUS=$?
PID=
[ "$STATUS" -eq 124 ] && echo "run_update_check_test: the program did not end" >&2
[ "$STATUS" -ne 0 ] && echo "run_update_check_test: the program ended with status $STATUS" >&2
cleanup
exit "$STATUS"
