#!/usr/bin/env bash
# File jobs ask about each file when they meet it: the overwrite question
# with its five buttons, in a folder that is merged into an existing one; a
# file that cannot be copied (a socket) asked about and skipped; a move
# whose one file is skipped keeps that source and its folder.
# Buttons of the question, from the left: Überschreiben, Alle überschreiben,
# Überspringen, Alle überspringen, Abbruch. Return presses the first, Tab
# moves on, Escape is "Abbruch".
. "$(dirname "$0")/lib.sh"

SRC=$E2E_DIR/quelle DST=$E2E_DIR/ziel
mkdir -p "$SRC/K1" "$SRC/K2" "$SRC/M" "$SRC/S" "$DST/K1" "$DST/K2" "$DST/M"
for n in a b c d; do echo "neu $n" >"$SRC/K1/$n.txt"; echo "alt $n" >"$DST/K1/$n.txt"; done
for n in x y; do echo "neu $n" >"$SRC/K2/$n.txt"; echo "alt $n" >"$DST/K2/$n.txt"; done
echo "m1 quelle" >"$SRC/M/m1.txt"
echo "m1 ziel" >"$DST/M/m1.txt"
echo "m2" >"$SRC/M/m2.txt"
echo "s" >"$SRC/S/s.txt"
python3 -c 'import socket,sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "$SRC/S/sock"

printf '\xEF\xBB\xBF\r\n[Fenster]\r\nPosOn = 1\r\nX = 0\r\nY = 0\r\nWidth = 900\r\nHeight = 600\r\n[Paht]\r\nPaht0 = %s/\r\nPaht1 = %s/\r\n' \
  "$SRC" "$DST" >"$E2E_WORK/Settings.pref"

# Waits for a visible window titled exactly $1, focuses it and presses the keys.
answer() {
  local title=$1 id
  shift
  id=$(timeout 10 xdotool search --sync --onlyvisible --name "^$title\$" | tail -1)
  [ -n "$id" ] || e2e_fail "no window '$title' for $*"
  xdotool windowfocus --sync "$id" 2>/dev/null
  xdotool key --delay 80 "$@"
  sleep 0.8
}
# How many files of folder $1 hold "neu ..." and how many "alt ...".
count() { grep -l "^$2" "$1"/*.txt 2>/dev/null | wc -l; }
# Waits until the command succeeds (up to 10 s).
until_ok() {
  local i
  for ((i = 0; i < 100; i++)); do "$@" && return 0; sleep 0.1; done
  return 1
}
no_question() { ! xdotool search --onlyvisible --name '^Achtung$' >/dev/null 2>&1; }

e2e_start
# rows of the left pane: .., K1, K2, M, S
e2e_key Home Down F5                    # K1 into the existing K1
answer Achtung Return                   # the confirmation
answer Achtung Tab Tab Return           # Überspringen
answer Achtung Return                   # Überschreiben
answer Achtung Tab Tab Tab Return       # Alle überspringen: no fourth question
until_ok no_question || e2e_fail "a question after 'Alle überspringen'"
[ "$(count "$DST/K1" neu)" -eq 1 ] && [ "$(count "$DST/K1" alt)" -eq 3 ] ||
  e2e_fail "K1 after skip, overwrite, skip all: $(cat "$DST"/K1/*.txt | tr '\n' ' ')"

e2e_key Home Down F5                    # again: "Alle überschreiben" at the first
answer Achtung Return
answer Achtung Tab Return
until_ok test "$(count "$DST/K1" neu)" -eq 4 || e2e_fail "'Alle überschreiben' left old files"
no_question || e2e_fail "a question after 'Alle überschreiben'"

e2e_key Home Down Down F5               # K2: "Abbruch" at the first question ends the job
answer Achtung Return
answer Achtung Escape
sleep 1
[ "$(count "$DST/K2" alt)" -eq 2 ] || e2e_fail "'Abbruch' went on copying K2"

e2e_key Home Down Down Down Down F5     # S: the socket cannot be copied
answer Achtung Return
answer Achtung Tab Return               # Überspringen
until_ok test -e "$DST/S/s.txt" || e2e_fail "the file beside the socket was not copied"
answer "Copy..." Return                 # the job says it did not do everything
answer "Fehlgeschlagene Dateien" Escape # and lists what; the list closes
[ -e "$DST/S/sock" ] && e2e_fail "a socket was copied"

e2e_key Home Down Down Down F6          # M: m1 exists in the target, skip it
answer Achtung Return
answer Achtung Tab Tab Return           # Überspringen
until_ok test -e "$DST/M/m2.txt" || e2e_fail "m2 was not moved"
sleep 0.5
[ "$(cat "$SRC/M/m1.txt")" = "m1 quelle" ] || e2e_fail "the skipped source of the move is gone"
[ "$(cat "$DST/M/m1.txt")" = "m1 ziel" ] || e2e_fail "the skipped target was replaced"
[ -e "$SRC/M/m2.txt" ] && e2e_fail "the moved m2 stayed in the source"
e2e_finish
exit 0
