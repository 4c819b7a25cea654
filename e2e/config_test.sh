#!/usr/bin/env bash
# The button bar, both configuration windows and the pane context menu in
# the real program: a toolbar button from a prepared "Toolbar.bar" starts its
# program in the active pane's folder; the menu and Ctrl+E open "Konfiguration", the menu and Ctrl+B open
# "ButtonBar Einstellungen"; a right click on a file opens the context menu,
# whose "Verknüpfung erstellen" writes the link next to it, and a right
# click in the other pane, whose "Umbenennen" renames the file in place.
. "$(dirname "$0")/lib.sh"

TREE=$E2E_DIR/tree
TREE2=$E2E_DIR/other
mkdir -p "$TREE" "$TREE2" "$E2E_WORK/Data"
echo hello >"$TREE/note.txt"
echo inhalt >"$TREE2/alt.txt"
cat >"$E2E_DIR/tool.sh" <<SH
#!/bin/sh
pwd >"$E2E_DIR/tool.log"
SH
chmod +x "$E2E_DIR/tool.sh"
printf '%s|Werkzeug|2|0|\r\n' "$E2E_DIR/tool.sh" >"$E2E_WORK/Data/Toolbar.bar"
printf '\xEF\xBB\xBF\r\n[Fenster]\r\nPosOn = 1\r\nX = 0\r\nY = 0\r\nWidth = 900\r\nHeight = 600\r\n[Paht]\r\nPaht0 = %s/\r\nPaht1 = %s/\r\n' \
  "$TREE" "$TREE2" >"$E2E_WORK/Settings.pref"

window_named() { timeout 5 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -1; }
close_window() { "$E2E_TOOLS/e2e_wm_close" "$1"; sleep 0.4; }
no_window() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }

e2e_start
# Places in the 900 x 600 window: the first toolbar button, the title
# "Konfiguration" of the menu bar, row 1 of the left and of the right pane.
TOOL_X=30 TOOL_Y=35 MENU_X=140 MENU_Y=9 ROW1_X=80 ROW1_Y=136 RIGHT_ROW1_X=530

# 1. The toolbar's first button starts its program.
xdotool mousemove --window "$E2E_WIN" $TOOL_X $TOOL_Y click 1
e2e_wait_file "$E2E_DIR/tool.log" || e2e_fail "the toolbar button did not start its program"
[ "$(cat "$E2E_DIR/tool.log")" = "$TREE" ] ||
  e2e_fail "the toolbar button ran in $(cat "$E2E_DIR/tool.log"), not in the active pane's folder"

# 2. Ctrl+E and the menu open "Konfiguration".
e2e_key ctrl+e
W=$(window_named Konfiguration)
[ -n "$W" ] || e2e_fail "Ctrl+E did not open Konfiguration"
close_window "$W"
no_window Konfiguration || e2e_fail "Konfiguration did not close"
xdotool mousemove --window "$E2E_WIN" $MENU_X $MENU_Y click 1
sleep 0.4
xdotool key Down Return
W=$(window_named Konfiguration)
[ -n "$W" ] || e2e_fail "the menu did not open Konfiguration"
close_window "$W"

# 3. Ctrl+B and the menu open "ButtonBar Einstellungen".
e2e_key ctrl+b
W=$(window_named "ButtonBar Einstellungen")
[ -n "$W" ] || e2e_fail "Ctrl+B did not open the button bar editor"
close_window "$W"
no_window "ButtonBar Einstellungen" || e2e_fail "the editor did not close"
xdotool windowfocus --sync "$E2E_WIN"
xdotool mousemove --window "$E2E_WIN" $MENU_X $MENU_Y click 1
sleep 0.4
xdotool key Down Down Return
W=$(window_named "ButtonBar Einstellungen")
[ -n "$W" ] || e2e_fail "the menu did not open the button bar editor"
close_window "$W"

# 4. A right click on note.txt (row 1 of the left pane) opens the context
#    menu; its sixth item is "Verknüpfung erstellen".
xdotool windowfocus --sync "$E2E_WIN"
xdotool mousemove --window "$E2E_WIN" $ROW1_X $ROW1_Y click 3
sleep 0.5
xdotool key Down Down Down Down Down Down Return
e2e_wait_file "$TREE/Verknüpfung zu note.txt" 5 || e2e_fail "the context menu made no shortcut"
[ -L "$TREE/Verknüpfung zu note.txt" ] || e2e_fail "the shortcut is no link"

# 5. A right click on alt.txt (row 1 of the right pane): the seventh item,
#    "Umbenennen", opens the name field on the row; the typed name renames.
xdotool windowfocus --sync "$E2E_WIN"
xdotool mousemove --window "$E2E_WIN" $RIGHT_ROW1_X $ROW1_Y click 3
sleep 0.5
xdotool key Down Down Down Down Down Down Down Return
e2e_rename_window "Umbenennen opened no name field"
xdotool key ctrl+a
e2e_type "neu.txt"
xdotool key Return
e2e_wait_file "$TREE2/neu.txt" 5 || e2e_fail "Umbenennen did not rename the file"
[ ! -e "$TREE2/alt.txt" ] || e2e_fail "the old name is still there"
[ "$(cat "$TREE2/neu.txt")" = inhalt ] || e2e_fail "the renamed file lost its contents"
e2e_finish
exit 0
