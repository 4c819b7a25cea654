#!/usr/bin/env bash
# What a new user met, in the real program under Xvfb: going up re-selects
# the folder left, also from the start folder; F3 on a folder enters it;
# "cd" on the command line moves the pane and Shift+Return runs a command in
# a terminal in the pane's folder; a wildcard filter; "Einfügen" on an empty
# pane; F2 says why a name is refused; the cursor stays on what F2, F6, F7
# and F8 touched; F5 without a selection takes the current row; the first start
# opens centred, wide enough for the columns. The current row is read with
# F4 and a recording editor, which never moves the pane, so every check
# waits for the state it expects instead of sleeping.
. "$(dirname "$0")/lib.sh"

L=$E2E_DIR/L R=$E2E_DIR/R
mkdir -p "$L/a_dir" "$L/sub" "$R"
echo x >"$L/a_dir/inner.txt"
for f in m1.txt m2.txt m3.txt y.png; do echo "$f" >"$L/$f"; done
cat >"$E2E_DIR/editor.sh" <<SH
#!/bin/sh
printf '[%s]' "\$1" >"$E2E_DIR/editor.tmp"
pwd >>"$E2E_DIR/editor.tmp"
mv "$E2E_DIR/editor.tmp" "$E2E_DIR/editor.log"
SH
# The desktop's text editor is the recorder.
e2e_text_editor "$E2E_DIR/editor.sh"
# The desktop's terminal: records where and with what it was started, then
# runs the command it was given (after its "-e").
cat >"$E2E_DIR/term.sh" <<SH
#!/bin/sh
pwd >"$E2E_DIR/term.cwd"
printf '[%s]' "\$@" >"$E2E_DIR/term.args"
shift
exec "\$@" </dev/null
SH
chmod +x "$E2E_DIR/term.sh"
export TERMINAL=$E2E_DIR/term.sh
printf '\xEF\xBB\xBF\r\n[Fenster]\r\nPosOn = 1\r\nX = 0\r\nY = 0\r\nWidth = 900\r\nHeight = 600\r\n' >"$E2E_WORK/Settings.pref"
printf '[Paht]\r\nPaht0 = %s\r\nPaht1 = %s\r\n' "$L/sub/" "$R/" >>"$E2E_WORK/Settings.pref"

current() { # -> "[name]folder" of the active pane's current row, by F4
  rm -f "$E2E_DIR/editor.log"
  e2e_key F4
  e2e_wait_file "$E2E_DIR/editor.log" 5 && cat "$E2E_DIR/editor.log"
}
# description, expected name, keys sent once; then waits (F4 after F4) for
# the current row to be the one expected, in folder $AT.
expect_row() {
  local what=$1 want="[$2]$AT" got i
  shift 2
  [ $# -gt 0 ] && e2e_key "$@"
  for ((i = 0; i < 15; i++)); do
    got=$(current)
    [ "$got" = "$want" ] && return 0
    sleep 0.3
  done
  e2e_fail "$what: '$got', not '$want'"
}
click() { # button, x, y inside the window laid out for 900 x 600
  eval "$(xdotool getwindowgeometry --shell "$E2E_WIN")"
  xdotool mousemove --window "$E2E_WIN" "$2" $((HEIGHT - 600 + $3)) click "$1"
  sleep 0.5
}
command_line() { # text, then the keys that send it
  local text=$1
  shift
  click 1 500 535
  xdotool key ctrl+a BackSpace
  e2e_type "$text"
  xdotool key --delay 50 "$@"
  sleep 0.5
}
shown() { xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
focus_on() {
  local id
  id=$(timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" | tail -1)
  [ -n "$id" ] || e2e_fail "no window '$1'"
  xdotool windowfocus --sync "$id" 2>/dev/null
}
gone() { # title, seconds
  local i
  for ((i = 0; i < $2 * 10; i++)); do shown "$1" || return 0; sleep 0.1; done
  return 1
}
wait_gone() { # path, seconds
  local i
  for ((i = 0; i < $2 * 10; i++)); do [ -e "$1" ] || return 0; sleep 0.1; done
  return 1
}

e2e_start

# 1. Up from the folder the pane started in re-selects it.
AT=$L/sub
expect_row "the start folder" ..
AT=$L
expect_row "Backspace from the start folder" sub BackSpace

# 2. F3 on a folder enters it; going up again lands on it.
e2e_key Up F3
AT=$L/a_dir
expect_row "F3 on a folder" ..
AT=$L
expect_row "Backspace re-selects a_dir" a_dir BackSpace
e2e_key F3
AT=$L/a_dir
expect_row "F3 on a_dir again" ..
AT=$L
expect_row "Return on .. re-selects a_dir" a_dir Return

# 3. "cd" moves the active pane; a command then runs in its new folder.
command_line "cd sub" Return
AT=$L/sub
expect_row "cd sub" ..
command_line "pwd > $E2E_DIR/pwd.log" Return
e2e_wait_file "$E2E_DIR/pwd.log" 5 || e2e_fail "the command line ran nothing after cd"
[ "$(cat "$E2E_DIR/pwd.log")" = "$L/sub" ] || e2e_fail "cd sub: the command ran in $(cat "$E2E_DIR/pwd.log")"
command_line "cd .." Return
AT=$L
expect_row "cd .." sub

# 4. Shift+Return: the command runs in the terminal, in the pane's folder,
#    and the terminal keeps a shell after it.
command_line "echo hallo > t.out" shift+Return
e2e_wait_file "$L/t.out" 5 || e2e_fail "Shift+Return ran nothing in the terminal"
[ "$(cat "$E2E_DIR/term.cwd")" = "$L" ] || e2e_fail "the terminal started in $(cat "$E2E_DIR/term.cwd")"
grep -q 'exec' "$E2E_DIR/term.args" || e2e_fail "the terminal does not stay open: $(cat "$E2E_DIR/term.args")"
rm -f "$L/t.out"
expect_row "t.out gone" sub

# 5. A wildcard filter keeps the names it matches as a whole: one row.
click 1 360 80
e2e_type "*.png"
click 1 100 118
expect_row "the filter *.png" y.png Home
expect_row "the filter *.png left other rows" y.png End
# 6. "Kopieren" in its context menu, then "Einfügen" on the empty right pane.
click 3 100 118
xdotool key Down Down Down Down Return
sleep 0.5
click 3 700 400
xdotool key Down Return
focus_on Achtung # the copy's own question
xdotool key Return
e2e_wait_file "$R/y.png" 10 || e2e_fail "Einfügen on the empty pane pasted nothing"
click 1 360 80
xdotool key ctrl+a BackSpace
sleep 0.5
click 1 100 118
expect_row "the emptied filter" m1.txt Home Down Down Down

# 7. F2 refuses "a/b" and an existing name with a message; nothing changes.
e2e_key F2
e2e_rename_window "F2 opened no name field"
xdotool key ctrl+a
e2e_type "a/b"
xdotool key Return
focus_on "Error !"
xdotool key Return
gone "Error !" 3 || e2e_fail "Return did not close the F2 error box"
e2e_rename_window "the name field closed after the refusal"
xdotool key ctrl+a
e2e_type "m2.txt"
xdotool key Return
focus_on "Error !"
xdotool key Return
gone "Error !" 3 || e2e_fail "no error box for an existing name"
e2e_rename_window "the name field closed after the second refusal"
xdotool key Escape
sleep 0.5
[ "$(cat "$L/m2.txt")" = m2.txt ] && [ -e "$L/m1.txt" ] || e2e_fail "a refused rename changed files"

# 8. After F2 the cursor is on the new name, after F7 on the new folder.
expect_row "back from F2" m1.txt
e2e_key F2
e2e_rename_window "F2 opened no name field"
xdotool key ctrl+a
e2e_type "k1.txt"
xdotool key Return
expect_row "the cursor after F2" k1.txt
e2e_key F7
focus_on "Verzeichnis erstellen !"
e2e_type "zz_neu"
xdotool key Return
expect_row "the cursor after F7" zz_neu

# 9. After F8 the cursor is on the row after the deleted one.
expect_row "to m2.txt" m2.txt Down Down
e2e_key F8
focus_on Achtung
xdotool key Return
wait_gone "$L/m2.txt" 10 || e2e_fail "F8 did not delete m2.txt"
expect_row "the cursor after F8" m3.txt

# 10. F5 with nothing selected copies the current row.
click 1 100 400 # below the rows: no row selected
e2e_key F5
focus_on Achtung
xdotool key Return
e2e_wait_file "$R/m3.txt" 10 || e2e_fail "F5 without a selection copied nothing"

# 11. After F6 the cursor is on the row after the moved one.
expect_row "to k1.txt" k1.txt Up
e2e_key F6
focus_on Achtung
xdotool key Return
e2e_wait_file "$R/k1.txt" 10 || e2e_fail "F6 did not move k1.txt"
expect_row "the cursor after F6" m3.txt
e2e_finish

# 12. The first start opens centred on the 1280 x 1024 screen, two thirds
# high and as wide as four columns a pane need.
rm -f "$E2E_WORK/Settings.pref"
e2e_start
eval "$(xdotool getwindowgeometry --shell "$E2E_WIN")"
[ "$WIDTH" -ge 1100 ] && [ "$HEIGHT" -ge 660 ] || e2e_fail "the first start opened at ${WIDTH}x$HEIGHT"
[ "$X" -ge 60 ] && [ "$Y" -ge 120 ] || e2e_fail "the first start is not centred: $X,$Y"
e2e_finish
exit 0
