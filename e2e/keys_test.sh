#!/usr/bin/env bash
# Keys as a new user tries them, in the real program under Xvfb: Tab and
# Shift+Tab between the panes, Backspace up a folder, F3 without a viewer and
# on a file named like an option, F4 past a console editor, the command line
# in the active pane's folder, and F10 into the menu bar. What happened is read
# from the "Settings.pref" written at exit, from files the commands made and
# from the records of stand-in programs.
. "$(dirname "$0")/lib.sh"

TREE=$E2E_DIR/tree
mkdir -p "$TREE/alpha" "$TREE/beta/gamma"
echo hello >"$TREE/note.txt"
echo opt >"$TREE/-rf"

# Stand-in programs: each writes its arguments and folder to its own record.
recorder() { # name
  cat >"$E2E_DIR/$1.sh" <<SH
#!/bin/sh
for a in "\$@"; do printf '[%s]' "\$a"; done >"$E2E_DIR/$1.tmp"
pwd >>"$E2E_DIR/$1.tmp"
mv "$E2E_DIR/$1.tmp" "$E2E_DIR/$1.log"
SH
  chmod +x "$E2E_DIR/$1.sh"
}
recorder viewer; recorder console; recorder graphical
# A private application database: the desktop's text editor is a console
# program; a graphical one also takes text.
APPS=$E2E_DIR/data/applications
mkdir -p "$APPS" "$XDG_CONFIG_HOME"
ln -s /usr/share/mime "$E2E_DIR/data/mime"
printf '[Desktop Entry]\nType=Application\nName=Konsole\nTerminal=true\nExec=%s %%f\nMimeType=text/plain;\n' \
  "$E2E_DIR/console.sh" >"$APPS/tc-console.desktop"
printf '[Desktop Entry]\nType=Application\nName=Fenster\nExec=%s %%f\nMimeType=text/plain;\n' \
  "$E2E_DIR/graphical.sh" >"$APPS/tc-graphical.desktop"
printf '[MIME Cache]\ntext/plain=tc-console.desktop;tc-graphical.desktop;\n' >"$APPS/mimeinfo.cache"
printf '[Default Applications]\ntext/plain=tc-console.desktop\n' >"$XDG_CONFIG_HOME/mimeapps.list"
export XDG_DATA_DIRS=$E2E_DIR/data XDG_CONFIG_DIRS=$E2E_DIR/config-sys
unset XDG_CURRENT_DESKTOP DBUS_SESSION_BUS_ADDRESS

write_settings() { # left folder, right folder, viewer
  printf '\xEF\xBB\xBF\r\n[Fenster]\r\nPosOn = 1\r\nX = 0\r\nY = 0\r\nWidth = 900\r\nHeight = 600\r\n' >"$E2E_WORK/Settings.pref"
  printf '[Paht]\r\nPaht0 = %s\r\nPaht1 = %s\r\n[Viewer]\r\nViewer.exe = %s\r\n' \
    "$1" "$2" "$3" >>"$E2E_WORK/Settings.pref"
}
saved() { tr -d '\r' <"$E2E_WORK/Settings.pref" | sed -n "s/^$1 = //p"; }
record() { # name -> its record once it is there
  e2e_wait_file "$E2E_DIR/$1.log" 5 && cat "$E2E_DIR/$1.log"
}

# 1. Tab reaches the right pane, Shift+Tab comes back; Backspace goes up.
write_settings "$TREE/" "$TREE/beta/" "$E2E_DIR/viewer.sh"
e2e_start
e2e_key Tab Down Return          # right pane: into gamma
e2e_key shift+Tab Down Return    # left pane: into alpha
e2e_key BackSpace                # and back up to the tree
e2e_finish
[ "$(saved Paht1)" = "$TREE/beta/gamma/" ] || e2e_fail "Tab did not reach the right pane: $(saved Paht1)"
[ "$(saved Paht0)" = "$TREE/" ] || e2e_fail "Shift+Tab or Backspace failed: $(saved Paht0)"

# 2. F3 hands a file named "-rf" over as "./-rf"; F4 starts the graphical
#    editor, not the console one; the command line runs in the pane's folder.
write_settings "$TREE/" "$TREE/" "$E2E_DIR/viewer.sh"
e2e_start
e2e_key End Up F3                # "-rf" sorts before note.txt, the last row
[ "$(record viewer)" = "[./-rf]$TREE" ] || e2e_fail "viewer got: $(cat "$E2E_DIR/viewer.log" 2>/dev/null)"
e2e_key End F4
[ "$(record graphical)" = "[note.txt]$TREE" ] || e2e_fail "editor got: $(cat "$E2E_DIR/graphical.log" 2>/dev/null)"
[ -e "$E2E_DIR/console.log" ] && e2e_fail "the console editor was started without a terminal"
eval "$(xdotool getwindowgeometry --shell "$E2E_WIN")"
xdotool mousemove --window "$E2E_WIN" 500 $((HEIGHT - 600 + 535)) click 1
sleep 0.3
e2e_type "touch made-here"
e2e_key Return
e2e_wait_file "$TREE/made-here" 5 || e2e_fail "the command line did not run in the pane's folder"
# F10 opens a menu of the bar: a new window of ours appears
before=$(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | wc -l)
e2e_key F10
after=$(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | wc -l)
[ "$after" -gt "$before" ] || e2e_fail "F10 opened no menu ($before -> $after windows)"
e2e_key Escape Escape
e2e_finish

# 3. Without a viewer F3 opens the file with the desktop's application.
write_settings "$TREE/" "$TREE/" ""
rm -f "$E2E_DIR/graphical.log"
printf '[Default Applications]\ntext/plain=tc-graphical.desktop\n' >"$XDG_CONFIG_HOME/mimeapps.list"
e2e_start
e2e_key End F3
[ "$(record graphical)" = "[$TREE/note.txt]$TREE" ] || e2e_fail "F3 without viewer: $(cat "$E2E_DIR/graphical.log" 2>/dev/null)"
e2e_finish
exit 0
