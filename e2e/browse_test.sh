#!/usr/bin/env bash
# Browsing with the keyboard in the real program under Xvfb: Return into a
# folder, ".." back with the old row selected, a typed path, Space on a
# folder, F3 with a recording viewer, and closing the window. What the
# program did is read from the "Settings.pref" it writes at exit and from the
# viewer's record.
. "$(dirname "$0")/lib.sh"

TREE=$E2E_DIR/tree
mkdir -p "$TREE/alpha/inner" "$TREE/beta"
echo hello >"$TREE/note.txt"
head -c 5000 /dev/zero >"$TREE/alpha/inner/blob"
cat >"$E2E_DIR/viewer.sh" <<SH
#!/bin/sh
for a in "\$@"; do printf '[%s]' "\$a"; done >"$E2E_DIR/viewer.tmp"
pwd >>"$E2E_DIR/viewer.tmp"
mv "$E2E_DIR/viewer.tmp" "$E2E_DIR/viewer.log"
SH
chmod +x "$E2E_DIR/viewer.sh"

write_settings() { # left folder, right folder
  printf '\xEF\xBB\xBF\r\n[Fenster]\r\nPosOn = 1\r\nX = 0\r\nY = 0\r\nWidth = 900\r\nHeight = 600\r\n' >"$E2E_WORK/Settings.pref"
  printf '[Paht]\r\nPaht0 = %s\r\nPaht1 = %s\r\n[Viewer]\r\nViewer.exe = %s\r\n' \
    "$1" "$2" "$E2E_DIR/viewer.sh" >>"$E2E_WORK/Settings.pref"
}

saved() { # key -> its value in the Settings.pref written at exit
  tr -d '\r' <"$E2E_WORK/Settings.pref" | sed -n "s/^$1 = //p"
}

# 1. Return on the first folder enters it; the title is the program's.
write_settings "$TREE/" "$TREE/beta/"
e2e_start
[ "$(e2e_title)" = "Tarn Commander v0.52 Beta" ] || e2e_fail "title is '$(e2e_title)'"
e2e_key Down Return
e2e_finish
[ "$(saved Paht0)" = "$TREE/alpha/" ] || e2e_fail "Return did not enter alpha: $(saved Paht0)"
[ "$(saved Paht1)" = "$TREE/beta/" ] || e2e_fail "right pane moved: $(saved Paht1)"
[ "$(saved Width)" = "900" ] || e2e_fail "width not kept: $(saved Width)"

# 2. ".." goes back and selects the folder we came from: Return then enters
#    it again (with row 0 selected it would climb further up instead).
write_settings "$TREE/" "$TREE/"
e2e_start
e2e_key Down Down Return    # into beta
e2e_key Home Return         # ".." back to the tree, beta selected again
e2e_key Return              # into beta once more
e2e_finish
[ "$(saved Paht0)" = "$TREE/beta/" ] || e2e_fail "'..' did not reselect beta: $(saved Paht0)"

# 3. A typed path (without the final slash) shows that folder; Space on a
#    folder and F3 on a file work on the way.
write_settings "$TREE/" "$TREE/"
e2e_start
e2e_key Down space          # folder size of alpha
e2e_key Down Down F3        # view note.txt
e2e_wait_file "$E2E_DIR/viewer.log" || e2e_fail "F3 did not start the viewer"
[ "$(cat "$E2E_DIR/viewer.log")" = "[note.txt]$TREE" ] || e2e_fail "viewer got: $(cat "$E2E_DIR/viewer.log")"
eval "$(xdotool getwindowgeometry --shell "$E2E_WIN")"
xdotool mousemove --window "$E2E_WIN" 60 $((HEIGHT - 600 + 80)) click --repeat 3 1
sleep 0.3
e2e_key ctrl+a
e2e_type "$TREE/alpha/inner"
e2e_key Return
e2e_finish
[ "$(saved Paht0)" = "$TREE/alpha/inner/" ] || e2e_fail "typed path not shown: $(saved Paht0)"
exit 0
