#!/usr/bin/env bash
# The window chrome and the dialog keys in the real program under Xvfb: the
# program's own icon on its window, Return on the focused "Abbruch" of F7,
# a Return that answers the error box instead of coming back after it, and
# the end of the program (close box, SIGTERM) while a message box is open.
. "$(dirname "$0")/lib.sh"

TREE=$E2E_DIR/baum
mkdir -p "$TREE"
write_settings() {
  printf '\xEF\xBB\xBF\r\n[Fenster]\r\nPosOn = 1\r\nX = 0\r\nY = 0\r\nWidth = 900\r\nHeight = 600\r\n[Paht]\r\nPaht0 = %s/\r\nPaht1 = %s/\r\n' \
    "$TREE" "$TREE" >"$E2E_WORK/Settings.pref"
}
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

# 4. The close box ends the program while the box is open, settings saved.
rm -f "$E2E_WORK/Settings.pref"
error_box
e2e_finish
[ -s "$E2E_WORK/Settings.pref" ] || e2e_fail "no settings written at the end"

# 5. So does a logout's SIGTERM.
write_settings
e2e_start
error_box
kill -TERM "$APP_PID"
for ((i = 0; i < 50; i++)); do kill -0 "$APP_PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$APP_PID" 2>/dev/null && e2e_fail "SIGTERM did not end the program while the box was open"
wait "$APP_PID"
rc=$?
APP_PID=""
[ "$rc" -eq 0 ] || e2e_fail "SIGTERM with the box open: exit code $rc"
exit 0
