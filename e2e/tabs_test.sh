#!/usr/bin/env bash
# Tabs in the real program under Xvfb: Ctrl+T opens a tab, a folder entered
# in it leaves the first tab where it was, Ctrl+Tab goes back, F5 copies into
# the tab the other side shows, a file created outside in a hidden tab's
# folder is there when the tab is shown, and after quitting the tabs come
# back at the next start. Rows are read by moving to them and pressing F3
# with a recording viewer.
. "$(dirname "$0")/lib.sh"

TREE=$E2E_DIR/tree
mkdir -p "$TREE/links/innen" "$TREE/rechts/ziel"
echo a >"$TREE/links/apfel.txt"
echo t >"$TREE/links/innen/tief.txt"
echo r >"$TREE/rechts/rechts.txt"
cat >"$E2E_DIR/viewer.sh" <<SH
#!/bin/sh
printf '%s' "\$1" >"$E2E_DIR/viewer.tmp"
mv "$E2E_DIR/viewer.tmp" "$E2E_DIR/viewer.log"
SH
chmod +x "$E2E_DIR/viewer.sh"
printf '\xEF\xBB\xBF\r\n[Fenster]\r\nPosOn = 1\r\nX = 0\r\nY = 0\r\nWidth = 900\r\nHeight = 600\r\n' >"$E2E_WORK/Settings.pref"
printf '[Paht]\r\nPaht0 = %s\r\nPaht1 = %s\r\n[Viewer]\r\nViewer.exe = %s\r\n' \
  "$TREE/links/" "$TREE/rechts/" "$E2E_DIR/viewer.sh" >>"$E2E_WORK/Settings.pref"

row() { # keys that move in the active pane -> the name F3 then views
  rm -f "$E2E_DIR/viewer.log"
  e2e_key "$@" F3
  e2e_wait_file "$E2E_DIR/viewer.log" 5 || e2e_fail "F3 did not start the viewer"
  cat "$E2E_DIR/viewer.log"
}

expect_row() { # description, expected name, keys; waits for the rows
  local what=$1 want=$2 got i
  shift 2
  for ((i = 0; i < 10; i++)); do
    got=$(row "$@")
    [ "$got" = "$want" ] && return 0
    sleep 0.3
  done
  e2e_fail "$what: $* gave '$got', not '$want'"
}


e2e_start
# rows of the left pane: .., innen, apfel.txt
expect_row "listing" apfel.txt End

e2e_key ctrl+t
expect_row "the new tab shows the same folder" apfel.txt End
e2e_key Home Down Return # into "innen"
expect_row "entering a folder in the new tab" tief.txt End
e2e_key ctrl+Tab
expect_row "Ctrl+Tab back to the first tab" apfel.txt End

# The right side: a second tab on "ziel"; F5 on the left copies into it.
e2e_key Tab
e2e_key ctrl+t
e2e_key Home Down Return # into "ziel"
sleep 0.5
e2e_key Tab
e2e_key Home End F5 # apfel.txt
answer Achtung Return
e2e_wait_file "$TREE/rechts/ziel/apfel.txt" || e2e_fail "F5 did not copy into the shown tab of the other side"
[ -e "$TREE/rechts/apfel.txt" ] && e2e_fail "F5 copied into the hidden tab's folder"

# The left side's second tab ("innen") is hidden now: a file made there
# outside the program is listed when the tab is shown.
echo neu >"$TREE/links/innen/zuletzt.txt"
sleep 1
e2e_key ctrl+Tab
expect_row "the hidden tab shows the file made meanwhile" zuletzt.txt End

e2e_finish
grep -q "Links Anzahl = 2" "$E2E_WORK/Settings.pref" || e2e_fail "the left tabs were not saved"
grep -q "Rechts Anzahl = 2" "$E2E_WORK/Settings.pref" || e2e_fail "the right tabs were not saved"
grep -q "Paht0 = $TREE/links/innen/" "$E2E_WORK/Settings.pref" || e2e_fail "Paht0 is not the shown folder"

# At the next start the shown tab is "innen" again, the first tab is there.
e2e_start
expect_row "the shown tab after a restart" zuletzt.txt End
e2e_key ctrl+Tab
expect_row "the first tab after a restart" apfel.txt End
e2e_key alt+2
expect_row "Alt+2 to the second tab" zuletzt.txt End
e2e_finish
