# Driving the real program under Xvfb with the keyboard, sourced by the
# tests that run it. There is no window manager: a window is focused with
# xdotool windowfocus before keys are typed to it (keys sent with --window
# are ignored by Qt).
#   scrandle_window TITLE_REGEX  - prints the id of the visible window, waits
#                                  up to 20 s for it; empty when none came
#   scrandle_help_menu ITEM      - in the main window, chooses the ITEMth
#                                  item (1 Show Help, 2 About...) of the
#                                  "Scrandle Help" menu
#   scrandle_key_opens KEY...    - types the keys and waits up to 5 s for a
#                                  window that did not show before (the
#                                  menu they open); false when none came
#   scrandle_height WID, scrandle_width WID

scrandle_window() {
  timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -n 1
}

scrandle_width() {
  xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p'
}

scrandle_height() {
  xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p'
}

scrandle_key_opens() {
  before=" $(xdotool search --onlyvisible --name '' 2>/dev/null | tr '\n' ' ') "
  xdotool key "$@"
  tries=0
  while [ "$tries" -lt 50 ]; do
    for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
      case "$before" in *" $w "*) ;; *) return 0 ;; esac
    done
    sleep 0.1
    tries=$((tries + 1))
  done
  return 1
}

# Alt+F opens the File menu; Right walks to the fourth menu, whose first
# item is then highlighted. Each menu is a window of its own.
scrandle_help_menu() {
  main=$(scrandle_window '^Scrandle\?$')
  [ -n "$main" ] || return 1
  xdotool windowfocus --sync "$main" || return 1
  scrandle_key_opens alt+f || return 1
  for _ in 1 2 3; do
    scrandle_key_opens Right || return 1
  done
  i=1
  while [ "$i" -lt "$1" ]; do
    xdotool key Down
    i=$((i + 1))
  done
  xdotool key Return
}
