#!/usr/bin/env bash
# Drag and drop between the two panes of the real program: a file dragged
# from the left pane and dropped on the right one is copied into the right
# pane's folder after the usual question; a drop back onto the pane it came
# from does nothing.
. "$(dirname "$0")/lib.sh"

SRC=$E2E_DIR/quelle DST=$E2E_DIR/ziel
mkdir -p "$SRC" "$DST"
echo gezogen >"$SRC/drag.txt"
printf '\xEF\xBB\xBF\r\n[Fenster]\r\nPosOn = 1\r\nX = 0\r\nY = 0\r\nWidth = 900\r\nHeight = 600\r\n[Paht]\r\nPaht0 = %s/\r\nPaht1 = %s/\r\n' \
  "$SRC" "$DST" >"$E2E_WORK/Settings.pref"

# Places in the 900 x 600 window: row 1 of the left pane, the middle of
# the right pane.
ROW1_X=80 ROW1_Y=136 RIGHT_X=650 RIGHT_Y=300

# Presses on (x1,y1), moves in steps to (x2,y2) and lets go there, slowly
# enough for the drag to start and the target to see it.
drag() {
  xdotool mousemove --window "$E2E_WIN" "$1" "$2" click 1
  sleep 0.3
  xdotool mousedown 1
  local i
  for i in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove --window "$E2E_WIN" $(($1 + ($3 - $1) * i / 10)) $(($2 + ($4 - $2) * i / 10))
    sleep 0.1
  done
  sleep 0.3
  xdotool mouseup 1
  sleep 0.5
}

e2e_start
# A drop back onto the left pane (its own folder) asks nothing.
drag $ROW1_X $ROW1_Y $ROW1_X 400
xdotool search --onlyvisible --name "^Achtung\$" >/dev/null 2>&1 &&
  e2e_fail "a drop back into its own folder asked a question"

drag $ROW1_X $ROW1_Y $RIGHT_X $RIGHT_Y
id=$(timeout 10 xdotool search --sync --onlyvisible --name "^Achtung\$" | tail -1)
[ -n "$id" ] || e2e_fail "the drop asked no question (was the drag driven?)"
xdotool windowfocus --sync "$id" 2>/dev/null
xdotool key Return
e2e_wait_file "$DST/drag.txt" 10 || e2e_fail "the dropped file was not copied"
[ "$(cat "$DST/drag.txt")" = gezogen ] || e2e_fail "the copy differs"
[ -e "$SRC/drag.txt" ] || e2e_fail "a copy by drop lost its source"
e2e_finish
exit 0
