#!/usr/bin/env bash
# A living pane in the real program under Xvfb: a file created outside the
# program appears, a deleted one disappears, a renamed one shows only its new
# name, a click on the "Größe" heading sorts by size both ways, a file that
# grows moves to its new place in that order, and typing into the filter box
# narrows the rows. Rows are read by moving to them and pressing F4 with a
# recording editor, which never moves the pane: every check waits for the
# state it expects, for ten seconds at the most, instead of sleeping.
. "$(dirname "$0")/lib.sh"

TREE=$E2E_DIR/tree
mkdir -p "$TREE"
head -c 300 /dev/zero >"$TREE/apfel.txt"
head -c 10 /dev/zero >"$TREE/birne.txt"
head -c 5000 /dev/zero >"$TREE/kiwi.txt"
cat >"$E2E_DIR/editor.sh" <<SH
#!/bin/sh
printf '%s' "\$1" >"$E2E_DIR/editor.tmp"
mv "$E2E_DIR/editor.tmp" "$E2E_DIR/editor.log"
SH
# The desktop's text editor is the recorder.
e2e_text_editor "$E2E_DIR/editor.sh"
printf '\xEF\xBB\xBF\r\n[Fenster]\r\nPosOn = 1\r\nX = 0\r\nY = 0\r\nWidth = 900\r\nHeight = 600\r\n' >"$E2E_WORK/Settings.pref"
printf '[Paht]\r\nPaht0 = %s\r\nPaht1 = %s\r\n' "$TREE/" "$TREE/" >>"$E2E_WORK/Settings.pref"

row() { # keys that move in the left pane -> the name F4 then edits
  rm -f "$E2E_DIR/editor.log"
  e2e_key "$@" F4
  e2e_wait_file "$E2E_DIR/editor.log" 5 && cat "$E2E_DIR/editor.log"
}

expect_row() { # description, expected name, keys; waits for the watcher
  local what=$1 want=$2 got i
  shift 2
  for ((i = 0; i < 25; i++)); do
    got=$(row "$@")
    [ "$got" = "$want" ] && return 0
    sleep 0.2
  done
  e2e_fail "$what: $* gave '$got', not '$want'"
}

click() { # x, y inside the window laid out for 900 x 600
  eval "$(xdotool getwindowgeometry --shell "$E2E_WIN")"
  xdotool mousemove --window "$E2E_WIN" "$1" $((HEIGHT - 600 + $2)) click 1
  sleep 0.4
}

e2e_start
expect_row "listing" kiwi.txt End

echo neu >"$TREE/zitrone.txt"
expect_row "a created file did not appear" zitrone.txt End
rm "$TREE/zitrone.txt"
expect_row "a deleted file did not disappear" kiwi.txt End
mv "$TREE/kiwi.txt" "$TREE/pflaume.txt"
expect_row "a renamed file does not show its new name" pflaume.txt End
expect_row "the old name is still listed" birne.txt End Up

click 415 100 # the "Größe" heading of the left pane
expect_row "first click on Größe: largest last" pflaume.txt End
expect_row "first click on Größe: smallest first" birne.txt Home Down
click 415 100
expect_row "second click on Größe: smallest last" birne.txt End
expect_row "second click on Größe: largest first" pflaume.txt Home Down
# A file written outside the program gets its new size in place, and the
# pane sorted by size puts it first.
head -c 9000 /dev/zero >>"$TREE/birne.txt"
expect_row "a grown file kept its place or size" birne.txt Home Down
expect_row "the grown file is still listed last" apfel.txt End

click 360 80 # the left filter box
e2e_type "pfl"
click 100 118 # the first row of the left pane
expect_row "the filter did not narrow the rows" pflaume.txt End
expect_row "the filter left other rows" pflaume.txt Home
e2e_finish
