#!/usr/bin/env bash
# Undo in the real program under Xvfb: F6 of a tree then Ctrl+Z restores it
# byte for byte (and Ctrl+Shift+Z moves it again), F2 then Ctrl+Z, F7 then
# Ctrl+Z, F8 into the trash (setting on) then Ctrl+Z, a move undone after
# the program was closed and started again.
. "$(dirname "$0")/lib.sh"

SRC=$E2E_DIR/quelle DST=$E2E_DIR/ziel REF=$E2E_DIR/vorher
mkdir -p "$SRC/baum/a/b" "$SRC/baum/leer" "$DST"
head -c 300000 /dev/urandom >"$SRC/baum/x.bin"
echo tief >"$SRC/baum/a/b/c.txt"
ln -s ../x.bin "$SRC/baum/a/link"
echo eins >"$SRC/a.txt"
echo zwei >"$SRC/b.txt"
cp -a "$SRC" "$REF"

printf '\xEF\xBB\xBF\r\n[Fenster]\r\nPosOn = 1\r\nX = 0\r\nY = 0\r\nWidth = 900\r\nHeight = 600\r\n[Paht]\r\nPaht0 = %s/\r\nPaht1 = %s/\r\n[Löschen]\r\nPapierkorb = 1\r\n' \
  "$SRC" "$DST" >"$E2E_WORK/Settings.pref"

wait_gone() { # up to 10 s for $1 to disappear
  local i
  for ((i = 0; i < 100; i++)); do [ -e "$1" ] || [ -L "$1" ] || return 0; sleep 0.1; done
  return 1
}

e2e_start
# rows of the left pane: .., baum, a.txt, b.txt
e2e_key Home Down F6
answer Achtung Return
e2e_wait_file "$DST/baum/x.bin" || e2e_fail "F6 did not move the tree"
wait_gone "$SRC/baum" || e2e_fail "F6 left the tree behind"
e2e_key ctrl+z
e2e_wait_file "$SRC/baum/x.bin" || e2e_fail "Ctrl+Z did not bring the tree back"
wait_gone "$DST/baum" || e2e_fail "Ctrl+Z left the tree in the target"
diff -r --no-dereference "$REF/baum" "$SRC/baum" || e2e_fail "the tree differs after the undo"
e2e_key ctrl+shift+z
e2e_wait_file "$DST/baum/a/b/c.txt" || e2e_fail "Ctrl+Shift+Z did not move the tree again"
e2e_key ctrl+z
e2e_wait_file "$SRC/baum/a/b/c.txt" || e2e_fail "the second Ctrl+Z did not bring the tree back"

e2e_key Home Down Down F2            # a.txt
e2e_rename_window "no rename window"
xdotool type --delay 20 "c.txt"
xdotool key Return
e2e_wait_file "$SRC/c.txt" || e2e_fail "F2 did not rename"
e2e_key ctrl+z
e2e_wait_file "$SRC/a.txt" || e2e_fail "Ctrl+Z did not undo the rename"
[ -e "$SRC/c.txt" ] && e2e_fail "the new name stayed after the undo"

e2e_key F7
id=$(timeout 10 xdotool search --sync --onlyvisible --name "^Verzeichnis erstellen !\$" | tail -1)
xdotool windowfocus --sync "$id" 2>/dev/null
xdotool type --delay 20 "Neu"
xdotool key Return
e2e_wait_file "$SRC/Neu" || e2e_fail "F7 did not create Neu"
e2e_key ctrl+z
wait_gone "$SRC/Neu" || e2e_fail "Ctrl+Z did not remove the new folder"

# rows: .., baum, a.txt, b.txt; the setting sends F8 to the trash
e2e_key Home Down Down Down F8
e2e_wait_file "$XDG_DATA_HOME/Trash/files/b.txt" || e2e_fail "F8 did not move b.txt to the trash"
[ -e "$XDG_DATA_HOME/Trash/info/b.txt.trashinfo" ] || e2e_fail "no trash record for b.txt"
e2e_key ctrl+z
e2e_wait_file "$SRC/b.txt" || e2e_fail "Ctrl+Z did not restore b.txt from the trash"
cmp -s "$REF/b.txt" "$SRC/b.txt" || e2e_fail "b.txt differs after the restore"
[ -e "$XDG_DATA_HOME/Trash/info/b.txt.trashinfo" ] && e2e_fail "the trash record stayed"

e2e_key Home Down Down F6            # a.txt, then quit and start again
answer Achtung Return
e2e_wait_file "$DST/a.txt" || e2e_fail "F6 did not move a.txt"
e2e_finish
ls "$E2E_WORK/Data/Undo/"*.step >/dev/null 2>&1 || e2e_fail "no journal in Data/Undo"
e2e_start
e2e_key ctrl+z
e2e_wait_file "$SRC/a.txt" || e2e_fail "after a restart Ctrl+Z did not undo the move"
[ -e "$DST/a.txt" ] && e2e_fail "a.txt stayed in the target"
diff -r --no-dereference "$REF" "$SRC" || e2e_fail "the source differs from how it began"

e2e_finish
exit 0
