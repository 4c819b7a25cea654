#!/usr/bin/env bash
# File operations in the real program under Xvfb: F5 of a folder tree and of
# a file (bytes compared), F6, the copy progress window "Kopieren !" while
# many files copy, F8 with both questions, F2 with Escape and with a new
# name, F7 "Neu", and a large folder's F8 stopped by "Abbrechen". Questions
# are answered with Return on the dialog.
. "$(dirname "$0")/lib.sh"

SRC=$E2E_DIR/quelle DST=$E2E_DIR/ziel
mkdir -p "$SRC/baum/a/b" "$SRC/loesch/innen" "$SRC/viele" "$DST"
head -c 1000000 /dev/urandom >"$SRC/baum/x.bin"
echo tief >"$SRC/baum/a/b/c.txt"
ln -s ../x.bin "$SRC/baum/a/link"
echo notiz >"$SRC/note.txt"
echo weg >"$SRC/weg.txt"
echo name >"$SRC/umbenennen.txt"
echo drin >"$SRC/loesch/innen/f"
# enough files that the copy runs long enough for its window to be seen (the
# copy takes a few thousand small files a second): 25,000 of 4 KB, made by
# one split
MANY=25000
head -c $((MANY * 4096)) /dev/urandom | (cd "$SRC/viele" && split -b 4096 -a 5 -d - datei_)
# a folder whose delete runs long enough to be stopped: 60,000 empty
# files (some two seconds of deleting), in the right pane, so the left
# one's rows stay as they are
mkdir -p "$DST/0_abbruch"
(cd "$DST/0_abbruch" && seq -w 1 60000 | xargs touch)

printf '\xEF\xBB\xBF\r\n[Fenster]\r\nPosOn = 1\r\nX = 0\r\nY = 0\r\nWidth = 900\r\nHeight = 600\r\n[Paht]\r\nPaht0 = %s/\r\nPaht1 = %s/\r\n' \
  "$SRC" "$DST" >"$E2E_WORK/Settings.pref"

# Waits until no visible window is titled $1 (up to $2 seconds).
gone() {
  local i
  for ((i = 0; i < $2 * 10; i++)); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

e2e_start
# rows of the left pane: .., baum, loesch, viele, note.txt, umbenennen.txt, weg.txt
e2e_key Home Down F5
answer Achtung Return
gone "Kopieren !" 10 || e2e_fail "copy of the tree did not end"
diff -r "$SRC/baum" "$DST/baum" || e2e_fail "the copied tree differs"
[ "$(readlink "$DST/baum/a/link")" = "../x.bin" ] || e2e_fail "the link was not copied as a link"

e2e_key Home Down Down Down Down F5   # note.txt
answer Achtung Return
e2e_wait_file "$DST/note.txt" || e2e_fail "F5 did not copy note.txt"
cmp -s "$SRC/note.txt" "$DST/note.txt" || e2e_fail "note.txt differs"

e2e_key Home End F6                  # weg.txt
answer Achtung Return
e2e_wait_file "$DST/weg.txt" || e2e_fail "F6 did not move weg.txt"
sleep 0.3
[ -e "$SRC/weg.txt" ] && e2e_fail "F6 left the source behind"

e2e_key Home Down Down Down F5       # viele: the progress window shows
answer Achtung Return
seen=0
for ((i = 0; i < 400; i++)); do
  xdotool search --onlyvisible --name "^Kopieren !\$" >/dev/null 2>&1 && { seen=1; break; }
  sleep 0.025
done
[ $seen = 1 ] || e2e_fail "no progress window 'Kopieren !'"
gone "Kopieren !" 60 || e2e_fail "the copy of many files did not end"
[ "$(ls "$DST/viele" | wc -l)" -eq $MANY ] || e2e_fail "not all files copied: $(ls "$DST/viele" | wc -l)"

e2e_key Home Down Down F8            # loesch, not empty: two questions
answer Achtung Return
answer Achtung Return
gone "Löschen !" 10
sleep 0.3
[ -e "$SRC/loesch" ] && e2e_fail "F8 did not delete loesch"

# rows now: .., baum, viele, note.txt, umbenennen.txt
e2e_key Home Down Down Down Down F2
e2e_rename_window "no rename window"
xdotool type --delay 20 "anders"
xdotool key Escape
sleep 0.4
[ -e "$SRC/umbenennen.txt" ] && [ ! -e "$SRC/anders" ] || e2e_fail "Escape renamed the file"
e2e_key Home Down Down Down Down F2
e2e_rename_window "no rename window"
xdotool type --delay 20 "neu.txt"
xdotool key Return
sleep 0.5
[ -e "$SRC/neu.txt" ] && [ ! -e "$SRC/umbenennen.txt" ] || e2e_fail "F2 did not rename"

e2e_key F7
id=$(timeout 10 xdotool search --sync --onlyvisible --name "^Verzeichnis erstellen !\$" | tail -1)
xdotool windowfocus --sync "$id" 2>/dev/null
xdotool type --delay 20 "Neu"
xdotool key Return
sleep 0.5
[ -d "$SRC/Neu" ] || e2e_fail "F7 did not create Neu"

# "Abbrechen" (Escape) in the delete's progress window stops it before its
# next file: the folder and most of its files stay.
e2e_key Tab Home Down F8             # right pane: .., 0_abbruch, ...
answer Achtung Return
answer Achtung Return
answer "Löschen !" Escape
gone "Löschen !" 10 || e2e_fail "Abbrechen did not end the delete"
sleep 0.5
left=$(ls "$DST/0_abbruch" 2>/dev/null | wc -l)
[ "$left" -gt 0 ] || e2e_fail "Abbrechen did not stop the delete: no file left"
[ -e "$DST/baum/x.bin" ] || e2e_fail "the stopped delete took another folder"
e2e_finish
exit 0
