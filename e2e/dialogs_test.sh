#!/usr/bin/env bash
# The window chrome and the dialog keys in the real program under Xvfb: the
# program's own icon on its window, Return on the focused "Abbruch" of F7,
# a Return that answers the error box instead of coming back after it,
# Escape and "Abbruch" confirming nothing in the F5, F6, F8, Ctrl+E and
# Ctrl+B dialogs, a Return that closes "Eigenschaften" and goes no further,
# and the end of the program (close box, SIGTERM, SIGHUP) while a message
# box, a dialog or the question of F5 or F8 is open.
. "$(dirname "$0")/lib.sh"

TREE=$E2E_DIR/baum OTHER=$E2E_DIR/anderer
mkdir -p "$TREE" "$OTHER"
echo inhalt >"$TREE/datei.txt"
write_settings() {
  printf '\xEF\xBB\xBF\r\n[Fenster]\r\nPosOn = 1\r\nX = 0\r\nY = 0\r\nWidth = 900\r\nHeight = 600\r\n[Paht]\r\nPaht0 = %s/\r\nPaht1 = %s/\r\n' \
    "$TREE" "$OTHER" >"$E2E_WORK/Settings.pref"
}
# Whatever opens a text file records it: a Return that reaches the pane
# after a dialog closed would open datei.txt.
cat >"$E2E_DIR/opener.sh" <<SH
#!/bin/sh
echo "\$1" >"$E2E_DIR/opened.log"
SH
e2e_text_editor "$E2E_DIR/opener.sh"
NEW_FOLDER="Verzeichnis erstellen !"

# Waits for a visible window titled exactly $1 and gives it the keyboard.
focus_on() {
  local id
  id=$(timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" | tail -1)
  [ -n "$id" ] || e2e_fail "no window '$1'"
  xdotool windowfocus --sync "$id" 2>/dev/null
}
keys() {
  xdotool key --delay 60 "$@"
  sleep 0.4
}
shown() { xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
# Waits until no visible window is titled $1 (up to $2 seconds).
gone() {
  local i
  for ((i = 0; i < $2 * 10; i++)); do
    shown "$1" || return 0
    sleep 0.1
  done
  return 1
}
# F7 with a name that makes no folder: the error box "Error !" opens.
error_box() {
  e2e_key F7
  focus_on "$NEW_FOLDER"
  e2e_type "a/b"
  keys Return
  focus_on "Error !"
}

write_settings
e2e_start

# 1. The title bar and task switcher get the program's icon.
xprop -id "$E2E_WIN" _NET_WM_ICON | grep -q "Icon (48 x 48)" ||
  e2e_fail "the window has no icon of the program's: $(xprop -id "$E2E_WIN" _NET_WM_ICON | head -c 80)"

# 2. Return presses the button the keyboard is on: Tab, Tab to "Abbruch".
e2e_key F7
focus_on "$NEW_FOLDER"
e2e_type "neu"
keys Tab Tab Return
gone "$NEW_FOLDER" 5 || e2e_fail "Return on Abbruch did not close the dialog"
[ -e "$TREE/neu" ] && e2e_fail "Return on Abbruch created the folder"

# 3. Return answers the error box; Escape then closes F7, and the Return is
#    not replayed into it (which showed the box again).
error_box
keys Return
gone "Error !" 3 || e2e_fail "Return did not answer the error box"
focus_on "$NEW_FOLDER"
keys Escape
gone "$NEW_FOLDER" 3 || e2e_fail "Escape did not close the new-folder dialog"
sleep 1
shown "Error !" && e2e_fail "the error box came back after it was answered"

# 4. Escape, and Return on a focused "Abbruch", confirm nothing: F5 copies
#    nothing, F6 moves nothing, F8 deletes nothing; Ctrl+E and Ctrl+B close.
refused() { # keys that open the dialog, its title, keys that answer it
  local open=$1 title=$2
  shift 2
  xdotool windowfocus --sync "$E2E_WIN" 2>/dev/null
  keys $open
  focus_on "$title"
  keys "$@"
  gone "$title" 3 || e2e_fail "$* did not close '$title' ($open)"
}
keys End # datei.txt
refused F5 Achtung Escape
refused F5 Achtung Tab Tab Return # the target field has the keyboard first
refused F6 Achtung Escape
refused F6 Achtung Tab Tab Return
refused F8 Achtung Escape
refused F8 Achtung Tab Return
sleep 1
[ -e "$OTHER/datei.txt" ] && e2e_fail "a refused F5 or F6 copied or moved the file"
[ -e "$TREE/datei.txt" ] || e2e_fail "a refused F6 or F8 took the file away"
refused ctrl+e Konfiguration Escape
refused ctrl+b "ButtonBar Einstellungen" Escape

# 5. "Eigenschaften" of datei.txt (row 1): Return closes the box, and the
#    Return does not go on to open the file.
xdotool windowfocus --sync "$E2E_WIN" 2>/dev/null
xdotool mousemove --window "$E2E_WIN" 80 136 click 3
sleep 0.5
keys Up Up Return # the next to last item
focus_on Eigenschaften
keys Return
gone Eigenschaften 3 || e2e_fail "Return did not close Eigenschaften"
sleep 1.5
[ -e "$E2E_DIR/opened.log" ] && e2e_fail "the Return of Eigenschaften opened the file"

# 6. The close box ends the program while the box is open, settings saved.
rm -f "$E2E_WORK/Settings.pref"
error_box
e2e_finish
[ -s "$E2E_WORK/Settings.pref" ] || e2e_fail "no settings written at the end"

# 7. So do a logout's SIGTERM with the box open and a hang-up's SIGHUP with
#    the settings dialog open; the settings are written both times.
ended_by() { # signal, what is open
  kill -"$1" "$APP_PID"
  e2e_wait_ended "$1 with $2 open" 5
  grep -q "Paht0 = $TREE/" "$E2E_WORK/Settings.pref" || e2e_fail "$1 with $2 open: no settings written"
}
write_settings
e2e_start
error_box
printf '' >"$E2E_WORK/Settings.pref"
ended_by TERM "the error box"
write_settings
e2e_start
e2e_key ctrl+e
focus_on Konfiguration
printf '' >"$E2E_WORK/Settings.pref"
ended_by HUP "the settings dialog"

# 8. And the questions of F5 and F8, which count as "Abbruch": the program
#    ends (it stayed, the question gone), nothing is copied or deleted.
for open_with in "F5 TERM" "F8 HUP"; do
  set -- $open_with
  write_settings
  e2e_start
  e2e_key End "$1"
  focus_on Achtung
  printf '' >"$E2E_WORK/Settings.pref"
  ended_by "$2" "the $1 question"
done
[ -e "$OTHER/datei.txt" ] && e2e_fail "the F5 question ended by SIGTERM copied the file"
[ -e "$TREE/datei.txt" ] || e2e_fail "the F8 question ended by SIGHUP deleted the file"
exit 0
