#!/usr/bin/env bash
# The habits of two-pane file managers in the real program under Xvfb: the
# quick search finds "Müll.txt" from "mue" and Return opens it, Insert picks
# three files that F5 then copies, "+" with "*.txt" picks the text files that
# F8 then deletes, Ctrl+R shows a file made outside while the folder watcher
# is blind, and the menus and F1 answer. What happened is read from the
# files the commands made, the record of a stand-in program and the
# settings written at exit. Then the keys that reach the command line, the
# path field and the filter, the context menu from the keyboard, keys past
# an open menu, and letters with "Schnellsuche" "Alt+Buchstaben".
. "$(dirname "$0")/lib.sh"

SRC=$E2E_DIR/quelle DST=$E2E_DIR/ziel TXT=$E2E_DIR/texte
mkdir -p "$SRC" "$DST" "$TXT/unter"
for f in Abfall.txt Mud.txt Mueller.doc Müll.txt Zebra.txt; do echo "$f" >"$SRC/$f"; done
for f in a.dat b.dat c.dat d.dat; do echo "$f" >"$DST/$f"; done
for f in x.txt y.TXT z.jpg; do echo "$f" >"$TXT/$f"; done

# The desktop's program for text files is a stand-in that records its file.
cat >"$E2E_DIR/opener.sh" <<SH
#!/bin/sh
printf '%s' "\$1" >"$E2E_DIR/opener.tmp"
mv "$E2E_DIR/opener.tmp" "$E2E_DIR/opener.log"
SH
e2e_text_editor "$E2E_DIR/opener.sh"

write_settings() { # left folder, right folder
  printf '\xEF\xBB\xBF\r\n[Fenster]\r\nPosOn = 1\r\nX = 0\r\nY = 0\r\nWidth = 900\r\nHeight = 600\r\n[Paht]\r\nPaht0 = %s\r\nPaht1 = %s\r\n' \
    "$1" "$2" >"$E2E_WORK/Settings.pref"
}
answer() { # waits for a visible window titled exactly $1, focuses it, presses $2
  local id
  id=$(timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" | tail -1)
  [ -n "$id" ] || e2e_fail "no window '$1'"
  xdotool windowfocus --sync "$id" 2>/dev/null
  xdotool key --delay 50 "$2"
  sleep 0.5
}
windows() { xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | wc -l; }

# 1. "mue" lands on "Müll.txt", passing "Mud.txt" (the umlaut is read as
#    "ue"), and Return opens it with the desktop's program.
write_settings "$SRC/" "$DST/"
e2e_start
e2e_key Home
e2e_type "mue"
e2e_key Return
e2e_wait_file "$E2E_DIR/opener.log" 10 || e2e_fail "Return after the quick search opened nothing"
[ "$(cat "$E2E_DIR/opener.log")" = "$SRC/Müll.txt" ] ||
  e2e_fail "the quick search opened: $(cat "$E2E_DIR/opener.log")"

# 2. Insert picks three files, Down passes one by, and the cursor walks
#    Home and back without dropping a pick: F5 copies those three.
#    Rows: .., Abfall.txt, Mud.txt, Müll.txt ("muell.txt"), Mueller.doc, Zebra.txt
e2e_key Home Down Insert Insert Down Insert Home Down F5
answer Achtung Return
for f in Abfall.txt Mud.txt Mueller.doc; do
  e2e_wait_file "$DST/$f" 10 || e2e_fail "Insert and F5 did not copy $f"
done
[ -e "$DST/Müll.txt" ] || [ -e "$DST/Zebra.txt" ] && e2e_fail "F5 copied more than the three picked"
e2e_finish

# 3. "+" with "*.txt" picks x.txt and y.TXT, F8 deletes them and nothing else.
write_settings "$TXT/" "$DST/"
e2e_start
e2e_key Home Down KP_Add
answer "Auswahl erweitern" ctrl+a
e2e_type "*.txt"
xdotool key Return # to the dialog, which has the focus
sleep 0.5
e2e_key F8
answer Achtung Return
for i in $(seq 50); do [ -e "$TXT/x.txt" ] || [ -e "$TXT/y.TXT" ] || break; sleep 0.1; done
[ -e "$TXT/x.txt" ] || [ -e "$TXT/y.TXT" ] && e2e_fail "\"+\" *.txt and F8 left a text file"
[ -e "$TXT/z.jpg" ] && [ -d "$TXT/unter" ] || e2e_fail "\"+\" *.txt and F8 deleted more than the text files"

# 4. The menus open by their letter; F1 shows the key table; Ctrl+U, Ctrl+H.
before=$(windows)
e2e_key alt+b
[ "$(windows)" -gt "$before" ] || e2e_fail "Alt+B opened no menu"
e2e_key Escape Escape # the menu, then the bar
e2e_key F1
answer Tastenbelegung Return
# Ctrl+U exchanges the panes' folders, Ctrl+H shows the hidden files (saved).
e2e_key ctrl+u ctrl+h
e2e_finish
saved() { tr -d '\r' <"$E2E_WORK/Settings.pref" | sed -n "s/^$1 = //p"; }
[ "$(saved Paht0)" = "$DST/" ] && [ "$(saved Paht1)" = "$TXT/" ] ||
  e2e_fail "Ctrl+U did not swap the panes: $(saved Paht0) $(saved Paht1)"
[ "$(saved 'Versteckte Dateien')" = 1 ] || e2e_fail "Ctrl+H did not show hidden files"

# 5. A folder watcher that gets no notifications (inotify refused, as when
#    the system's watches run out): Ctrl+R still shows a file made outside.
cat >"$E2E_DIR/blind.c" <<C
#include <errno.h>
#include <stdio.h>
int inotify_add_watch(int fd, const char *path, unsigned mask) {
    (void)fd; (void)path; (void)mask;
    FILE *f = fopen("$E2E_DIR/blind.log", "a");
    if (f) fclose(f);
    errno = ENOSPC;
    return -1;
}
C
cc -shared -fPIC -o "$E2E_DIR/blind.so" "$E2E_DIR/blind.c" || e2e_fail "could not build the blind watcher"
write_settings "$SRC/" "$DST/"
LD_PRELOAD=$E2E_DIR/blind.so e2e_start
sleep 1
e2e_wait_file "$E2E_DIR/blind.log" 5 || e2e_fail "the watcher was not made blind"
echo draussen >"$SRC/Neu von draussen.txt"
sleep 1.5
e2e_key ctrl+r
sleep 1
e2e_type "neu von"
e2e_key F5
answer Achtung Return
e2e_wait_file "$DST/Neu von draussen.txt" 10 || e2e_fail "Ctrl+R did not show the file made outside"
e2e_finish
# 6. Everything from the keyboard. Ctrl+K to the command line, Ctrl+Return
#    and Ctrl+P put the current name and the folder in where the cursor is,
#    so what is typed next follows them; Escape back to the list; Ctrl+F to
#    the filter, whose hidden names the quick search passes by; the Menu key
#    opens the context menu at the row, not at the far-away mouse pointer;
#    F5 acts while a menu is open.
KEYS=$E2E_DIR/tasten OUT=$E2E_DIR/ziel2
mkdir -p "$KEYS" "$OUT"
for f in Abfall.txt Zebra.txt; do echo "$f" >"$KEYS/$f"; done
write_settings "$KEYS/" "$OUT/"
e2e_start
e2e_key Home Down ctrl+k # the cursor on Abfall.txt
e2e_type "cp "
e2e_key ctrl+Return
e2e_type "kopie.txt"
e2e_key Return
e2e_wait_file "$KEYS/kopie.txt" 5 || e2e_fail "Ctrl+Return did not put the name before what was typed next"
e2e_key ctrl+k
e2e_type "echo "
e2e_key ctrl+p
e2e_type "> pfad.txt"
e2e_key Return
e2e_wait_file "$KEYS/pfad.txt" 5 && sleep 0.3
[ "$(cat "$KEYS/pfad.txt" 2>/dev/null)" = "$KEYS/" ] ||
  e2e_fail "Ctrl+P put in: $(cat "$KEYS/pfad.txt" 2>/dev/null)"
e2e_key Escape ctrl+f
e2e_type "zeb"
e2e_key Escape End
e2e_type "abf" # Abfall.txt is filtered out: the row stays on Zebra.txt
e2e_key Escape F5
answer Achtung Return
e2e_wait_file "$OUT/Zebra.txt" 10 || e2e_fail "Ctrl+F, Escape and F5 did not copy Zebra.txt"
[ -e "$OUT/Abfall.txt" ] && e2e_fail "the quick search found a name the filter hides"
eval "$(xdotool getwindowgeometry --shell "$E2E_WIN")"
main_x=$X main_y=$Y main_w=$WIDTH main_h=$HEIGHT
xdotool mousemove 1270 1010
before=$(windows)
e2e_key Menu
popup=""
for i in $(seq 100); do # the menu opens once its entries were looked at
  popup=$(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | grep -vx "$E2E_WIN" | tail -1)
  [ -n "$popup" ] && break
  sleep 0.1
done
[ -n "$popup" ] || e2e_fail "the Menu key opened no menu"
eval "$(xdotool getwindowgeometry --shell "$popup")"
[ "$X" -lt $((main_x + main_w)) ] && [ "$Y" -lt $((main_y + main_h)) ] ||
  e2e_fail "the Menu key's menu opened at $X,$Y, outside the window at the mouse pointer"
e2e_key Escape
e2e_key alt+b
for i in $(seq 50); do [ "$(windows)" -gt "$before" ] && break; sleep 0.1; done
[ "$(windows)" -gt "$before" ] || e2e_fail "Alt+B opened no menu"
e2e_key F5 # past the open menu
answer Achtung Escape
e2e_finish

# 7. "Schnellsuche" "Alt+Buchstaben": letters typed in the list go to the
#    command line in the order typed; Ctrl+C and Ctrl+V copy a file across;
#    Ctrl+L and a typed path move the pane.
write_settings "$KEYS/" "$OUT/"
printf '[Bedienung]\r\nSchnellsuche = 1\r\n' >>"$E2E_WORK/Settings.pref"
e2e_start
e2e_key Home
e2e_type "touch buchstaben"
e2e_key Return
e2e_wait_file "$KEYS/buchstaben" 5 || e2e_fail "letters did not reach the command line in order: $(ls "$KEYS")"
# Ctrl+C on a file, Ctrl+V in the other pane: the file is copied there.
e2e_key Escape Home Down ctrl+c Tab ctrl+v # Abfall.txt
answer Achtung Return
e2e_wait_file "$OUT/Abfall.txt" 10 || e2e_fail "Ctrl+C and Ctrl+V did not copy the file"
e2e_key shift+Tab ctrl+l ctrl+a
e2e_type "$OUT/"
e2e_key Return
e2e_finish
[ "$(saved Paht0)" = "$OUT/" ] || e2e_fail "Ctrl+L and a typed path left the pane on $(saved Paht0)"
echo "habits e2e passed"
