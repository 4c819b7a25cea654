#!/usr/bin/env bash
# One journey through the whole program as a new user makes it, in the real
# binary under Xvfb: first start without "Settings.pref" and "Data", in a home
# with an awkward tree (blanks, umlauts, a line feed, invalid UTF-8, a link to
# a folder, an unreadable folder). Browse in and back, sort by size, filter,
# view (F3) and edit (F4) with a recording program, F7, F5 of a tree (bytes
# compared), F6, F2, F8 with both questions, a file made from outside shows
# up, the settings dialog shows hidden files, the button bar editor adds a
# button that a click then runs, and "Beenden" ends the program. At the end
# every file of the tree is compared with a model of what the journey did,
# and nothing else in the prepared folder may have changed.
# The first start opens at two thirds of the screen: on a 960 x 720 screen
# that is the 640 x 480 window the places below are measured in.
E2E_SCREEN=960x720x24
. "$(dirname "$0")/lib.sh"
# E2E_SHOT=picture.png keeps the screen as it was at a failure.
if [ -n "${E2E_SHOT:-}" ]; then
  eval "lib_$(declare -f e2e_fail)"
  e2e_fail() { e2e_screenshot "$E2E_SHOT"; lib_e2e_fail "$@"; }
fi

T=$HOME/Ablage REC=$E2E_DIR/rec BIN=$E2E_DIR/bin MODEL=$E2E_DIR/model
LF=$'\n' BAD=$'\xff'
mkdir -p "$T/Ordner mit Leerzeichen/tief" "$T/Übergröße" "$T/gesperrt" "$REC" "$BIN"
echo innen >"$T/Ordner mit Leerzeichen/innen datei.txt"
head -c 300000 /dev/urandom >"$T/Ordner mit Leerzeichen/tief/groß.bin"
echo zwei >"$T/Ordner mit Leerzeichen/tief/Zeile${LF}zwei.txt"
ln -s ../../note.txt "$T/Ordner mit Leerzeichen/tief/verweis auf note"
echo notiz >"$T/note.txt"                          # 6 bytes
printf x >"$T/Zeile${LF}umbruch.txt"                # 1 byte
head -c 5000 /dev/urandom >"$T/kaputt${BAD}.bin"   # the biggest file
echo maß >"$T/Übergröße/Maß.txt"
echo still >"$T/.versteckt"
echo geheim >"$T/gesperrt/drin"
ln -s "Ordner mit Leerzeichen" "$T/Verweis"
chmod 000 "$T/gesperrt"

# One recording program for documents (F3 without a viewer opens a file with
# the desktop's application for its type) and for the editor (F4), and a tool
# for the button bar. Each writes its arguments and folder to rec/.
cat >"$BIN/oeffnen.sh" <<SH
#!/bin/sh
pwd -P >"$REC/oeffnen.pwd"
for a in "\$@"; do printf '[%s]' "\$a"; done >"$REC/oeffnen.tmp"
mv "$REC/oeffnen.tmp" "$REC/oeffnen.args"
SH
printf '#!/bin/sh\npwd -P >"%s/werkzeug.tmp"\nmv "%s/werkzeug.tmp" "%s/werkzeug.log"\n' \
  "$REC" "$REC" "$REC" >"$BIN/werkzeug.sh"
chmod +x "$BIN/oeffnen.sh" "$BIN/werkzeug.sh"
APPS=$E2E_DIR/data/applications
mkdir -p "$APPS" "$XDG_CONFIG_HOME"
ln -s /usr/share/mime "$E2E_DIR/data/mime"
printf '[Desktop Entry]\nType=Application\nName=Öffnen\nExec=%s %%f\nMimeType=text/plain;application/octet-stream;\n' \
  "$BIN/oeffnen.sh" >"$APPS/tc-oeffnen.desktop"
printf '[MIME Cache]\ntext/plain=tc-oeffnen.desktop;\napplication/octet-stream=tc-oeffnen.desktop;\n' \
  >"$APPS/mimeinfo.cache"
printf '[Default Applications]\ntext/plain=tc-oeffnen.desktop\napplication/octet-stream=tc-oeffnen.desktop\n' \
  >"$XDG_CONFIG_HOME/mimeapps.list"
export XDG_DATA_DIRS=$E2E_DIR/data XDG_CONFIG_DIRS=$E2E_DIR/config-sys
unset XDG_CURRENT_DESKTOP DBUS_SESSION_BUS_ADDRESS

# Root reads every folder; without its two file-access capabilities it meets
# the unreadable folder as any user does.
E2E_BIN=$(realpath "$E2E_BIN")
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
  printf '#!/bin/sh\nexec setpriv --bounding-set=-dac_override,-dac_read_search "%s"\n' \
    "$E2E_BIN" >"$BIN/tarn-commander"
  chmod +x "$BIN/tarn-commander"
  E2E_BIN=$BIN/tarn-commander
fi

# What is on disk: one record per entry (path, kind, mode, size of files and
# link target), NUL-separated so that a line feed in a name stays one entry;
# with "t" also the modification times of all but folders.
manifest() { # folder, [t]
  local when=""
  [ "${2:-}" = t ] && when='\t%T@'
  (cd "$1" && find . -mindepth 1 \( -type d -printf '%P\td\t%m\0' \) -o \
    -printf "%P\t%y\t%m\t%s\t%l$when\0" | sort -z | tr '\0' '\n')
}
# Everything of the prepared folder but the tree, the records and the two
# files the program writes.
outside() {
  manifest "$E2E_DIR" t | grep -av -e '^home/Ablage' -e '^model' -e '^rec' -e '^program.log' \
    -e '^work/Settings.pref' -e '^work/Data' -e '^displayfd'
}
cp -a "$T" "$MODEL"
e2e_display
OUTSIDE_BEFORE=$(outside)

# ---- helpers ----
# Places in the 640 x 480 window a first start opens (client coordinates).
ROW0=118 ROW_STEP=18 LEFT_X=80 RIGHT_X=400
# Texts typed are ASCII: xdotool types other characters by remapping a key
# for a moment, which races with the program reading it.
click() { # x y [button]
  xdotool mousemove --window "$E2E_WIN" "$1" "$2" click "${3:-1}"
  sleep 0.2
}
keys() { # key names for the main window
  xdotool windowfocus --sync "$E2E_WIN" 2>/dev/null
  xdotool key --delay 30 "$@"
  sleep 0.25
}
text() { xdotool type --delay 8 "$1"; sleep 0.2; }
typed_path() { # x of the path field, folder
  click "$1" 80
  xdotool key ctrl+a
  text "$2"
  keys Return
}
# A pane's workers report a little after its folder was listed or refreshed,
# and the report empties its filter box: a filter typed before it is lost.
settle() { sleep 1; }
filtered() { # x of the filter box, text: the pane shows the matching rows, row 0 selected
  click "$1" 80
  xdotool key ctrl+a BackSpace
  text "$2"
  click $(($1 == LEFT_FILTER ? LEFT_X : RIGHT_X)) $ROW0
}
window_named() { timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | tail -1; }
answer() { # title, key: the question window gets the key
  local id
  id=$(window_named "$1")
  [ -n "$id" ] || e2e_fail "no window '$1'"
  xdotool windowfocus --sync "$id" 2>/dev/null
  xdotool key --delay 30 "$2"
  sleep 0.3
}
gone() { # title, seconds
  local i
  for ((i = 0; i < $2 * 10; i++)); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}
opened() { # what, arguments, folder: the recording program was started so
  e2e_wait_file "$REC/oeffnen.args" 5 || e2e_fail "$1: no program was started"
  local args dir
  args=$(cat "$REC/oeffnen.args") dir=$(cat "$REC/oeffnen.pwd")
  rm -f "$REC/oeffnen.args" "$REC/oeffnen.pwd"
  [ "$args" = "$2" ] || e2e_fail "$1: the program got $(printf %q "$args"), not $(printf %q "$2")"
  [ "$dir" = "$3" ] || e2e_fail "$1: the program ran in $dir, not $3"
}
saved() { tr -d '\r' <"$E2E_WORK/Settings.pref" | sed -n "s/^$1 = //p"; }

# ---- the journey ----
[ ! -e "$E2E_WORK/Settings.pref" ] && [ ! -e "$E2E_WORK/Data" ] || e2e_fail "not a first start"
e2e_start
[ "$(e2e_title)" = "Tarn Commander v0.52 Beta" ] || e2e_fail "title is '$(e2e_title)'"
# Where the right pane, the left filter box and the left "Größe" heading
# are in the window the first start chose.
eval "$(xdotool getwindowgeometry --shell "$E2E_WIN")"
HALF=$((WIDTH / 2))
RIGHT_X=$((HALF + 80)) RIGHT_PATH=$((HALF + 100)) LEFT_SIZE=$((HALF - 30))
LEFT_FILTER=$((HALF - 70)) RIGHT_FILTER=$((WIDTH - 70))

# Both panes to the tree by typed paths. Rows: .., gesperrt,
# Ordner mit Leerzeichen, Übergröße, Verweis, kaputt?.bin, note.txt, Zeile?umbruch.txt
typed_path 100 "$T"
typed_path $RIGHT_PATH "$T"
click $LEFT_X $ROW0
keys End F4
opened "F4 on the last row" "[Zeile${LF}umbruch.txt]" "$T"

# Into the link to a folder and back; the unreadable folder says so and
# leaves the pane where it was.
keys Home Down Down Down Down Return
keys End F3
opened "F3 in the linked folder" "[$T/Verweis/innen datei.txt]" "$T/Ordner mit Leerzeichen"
keys BackSpace
keys Home Down Return
answer "Achtung !" Return
keys End F4
opened "F4 after Backspace and the unreadable folder" "[Zeile${LF}umbruch.txt]" "$T"

# Sorted by size (the "Größe" heading) the biggest file comes last.
click $LEFT_SIZE 100
click $LEFT_X $ROW0
keys End F3
opened "F3 after sorting by size" "[$T/kaputt${BAD}.bin]" "$T"

# The filter finds the umlaut folder; Return enters it.
filtered $LEFT_FILTER "bergr"
keys Return
keys End F3
opened "F3 in the filtered folder" "[$T/Übergröße/Maß.txt]" "$T/Übergröße"
keys BackSpace

# F7 in the right pane makes "Kopie"; the right pane goes there.
click $RIGHT_X $ROW0
keys F7
answer "Verzeichnis erstellen !" ctrl+a
text "Kopie"
xdotool key Return
e2e_wait_file "$T/Kopie" 5 || e2e_fail "F7 made no folder"
typed_path $RIGHT_PATH "$T/Kopie"

# F5 copies the folder with blanks (a tree) into it.
settle
filtered $LEFT_FILTER "Leerz"
keys F5
answer Achtung Return
gone "Kopieren !" 10 || e2e_fail "the copy did not end"
diff -r --no-dereference "$T/Ordner mit Leerzeichen" "$T/Kopie/Ordner mit Leerzeichen" >&2 ||
  e2e_fail "the copied tree differs"

# F6 moves note.txt over; F2 renames it there.
filtered $LEFT_FILTER "note"
keys F6
answer Achtung Return
e2e_wait_file "$T/Kopie/note.txt" 5 || e2e_fail "F6 did not move note.txt"
settle
filtered $RIGHT_FILTER "note"
keys F2
e2e_rename_window "F2 opened no rename field"
xdotool key ctrl+a
text "neue Notiz.txt"
xdotool key Return
e2e_wait_file "$T/Kopie/neue Notiz.txt" 5 ||
  e2e_fail "F2 did not rename note.txt: $(ls "$T/Kopie" | od -c | head -5)"

# F8 deletes the copied tree after both questions.
settle
filtered $RIGHT_FILTER "Leerz"
keys F8
answer Achtung Return
answer Achtung Return
gone "Löschen !" 10 || e2e_fail "the delete did not end"
sleep 0.3
[ -e "$T/Kopie/Ordner mit Leerzeichen" ] && e2e_fail "F8 did not delete the copy"

# A file made from outside shows up in the right pane.
echo draußen >"$T/Kopie/von draußen.txt"
sleep 1.5
filtered $RIGHT_FILTER "drau"
keys F4
e2e_wait_file "$REC/oeffnen.args" 3 ||
  e2e_fail "a file created outside did not appear in the pane showing its folder (folder watching)"
opened "F4 on the file made outside" "[von draußen.txt]" "$T/Kopie"

# Ctrl+E: "Versteckte Dateien anzeigen " ticked, "Anehmen"; ".versteckt" shows.
keys ctrl+e
W=$(window_named Konfiguration)
[ -n "$W" ] || e2e_fail "Ctrl+E opened no settings dialog"
xdotool mousemove --window "$W" 130 54 click 1
sleep 0.3
# "Anehmen" is the rightmost button along the bottom, wherever the pages end.
eval "$(xdotool getwindowgeometry --shell "$W")"
xdotool mousemove --window "$W" $((WIDTH - 30)) $((HEIGHT - 10)) click 1
gone Konfiguration 5 || e2e_fail "Anehmen did not close the settings dialog"
settle
filtered $LEFT_FILTER "verst"
keys F4
opened "F4 on the hidden file" "[.versteckt]" "$T"

# Ctrl+B: "Einfügen" the tool, "Anwenden", close; its button runs it.
keys ctrl+b
W=$(window_named "ButtonBar Einstellungen")
[ -n "$W" ] || e2e_fail "Ctrl+B opened no button bar editor"
xdotool mousemove --window "$W" 60 40 click 1
answer "Programm Auswählen!" ctrl+a
text "$BIN/werkzeug.sh"
xdotool key Return
sleep 0.4
xdotool mousemove --window "$W" 475 290 click 1
sleep 0.4
e2e_wait_file "$E2E_WORK/Data/Toolbar.bar" 3 || e2e_fail "Anwenden wrote no Toolbar.bar"
xdotool mousemove --window "$W" 475 320 click 1
gone "ButtonBar Einstellungen" 5 || e2e_fail "Abbruch did not close the editor"
click 63 36
e2e_wait_file "$REC/werkzeug.log" 5 || e2e_fail "the new toolbar button did not run its program"

# "Beenden" from the menu of a pane without selection, confirmed.
click 150 330
click 150 330 3
xdotool key Up Return
answer "System Nachricht !" Return
e2e_wait_ended "Beenden"

# ---- what is on disk ----
[ "$(saved 'Versteckte Dateien')" = 1 ] || e2e_fail "hidden files not saved as shown"
[ "$(saved Paht0)" = "$T/" ] && [ "$(saved Paht1)" = "$T/Kopie/" ] ||
  e2e_fail "pane folders saved as $(saved Paht0) and $(saved Paht1)"
want=$(printf '%s|Notepad|2|0|\r\n%s|werkzeug|2|0|\r\n' "$BIN/oeffnen.sh" "$BIN/werkzeug.sh")
[ "$(cat "$E2E_WORK/Data/Toolbar.bar")" = "$want" ] ||
  e2e_fail "Toolbar.bar is $(printf %q "$(cat "$E2E_WORK/Data/Toolbar.bar")")"

# The model: what the journey should have left of the tree.
mkdir "$MODEL/Kopie"
mv "$MODEL/note.txt" "$MODEL/Kopie/neue Notiz.txt"
echo draußen >"$MODEL/Kopie/von draußen.txt"
[ "$(manifest "$T")" = "$(manifest "$MODEL")" ] ||
  { diff <(manifest "$MODEL") <(manifest "$T") >&2; e2e_fail "the tree is not as the journey left it"; }
chmod 700 "$T/gesperrt" "$MODEL/gesperrt"
diff -r --no-dereference "$MODEL" "$T" >&2 || e2e_fail "file contents differ from the model"
# Outside the tree only the toolkit's file chooser keeps its last folder, as
# every program on the toolkit does.
after=$(outside | grep -av '^home/.config/QtProject.conf')
[ "$after" = "$OUTSIDE_BEFORE" ] ||
  { diff <(echo "$OUTSIDE_BEFORE") <(echo "$after") >&2; e2e_fail "something outside the tree changed"; }
exit 0
