#!/usr/bin/env bash
# Remote folders in the real program under Xvfb, on a loopback sftp server
# of its own (e2e/tools/remote_serve.cpp): the right pane starts on the
# server (mounted and read in the background), F5 both ways, F6, F7, F2, F8,
# Ctrl+R showing a file written on the server (sftp has no monitor),
# entering a remote folder and "..", F3 on a remote file, a typed location,
# and a server that stops answering: the other pane goes on working, and a
# copy from the stopped server can be cancelled.
. "$(dirname "$0")/lib.sh"

SERVE_PID=""
remote_cleanup() {
  [ -n "$SERVE_PID" ] && kill "$SERVE_PID" 2>/dev/null && wait "$SERVE_PID" 2>/dev/null
  e2e_cleanup
}
trap remote_cleanup EXIT

"$E2E_TOOLS/e2e_remote_serve" "$E2E_DIR/remote.env" >"$E2E_DIR/serve.log" 2>&1 &
SERVE_PID=$!
e2e_wait_file "$E2E_DIR/remote.env" 30 || { cat "$E2E_DIR/serve.log" >&2; e2e_fail "the test servers did not start"; }
. "$E2E_DIR/remote.env" # DBUS_SESSION_BUS_ADDRESS, REMOTE_FOLDER, REMOTE_LOCATION

LOCAL=$E2E_DIR/lokal R=$REMOTE_FOLDER
mkdir -p "$LOCAL" "$R/ordner"
echo hoch >"$LOCAL/hoch.txt"
echo innen >"$R/ordner/innen.txt"
echo alt >"$R/alt.txt"
echo loesch >"$R/loesch.txt"
head -c 3000000 /dev/urandom >"$R/runter.bin"
echo weg >"$R/weg.txt"
head -c 400000000 /dev/zero >"$R/zgross.bin"
cat >"$E2E_DIR/viewer.sh" <<SH
#!/bin/sh
cat "\$1" >"$E2E_DIR/viewer.tmp" && mv "$E2E_DIR/viewer.tmp" "$E2E_DIR/viewer.log"
SH
chmod +x "$E2E_DIR/viewer.sh"
printf '\xEF\xBB\xBF\r\n[Fenster]\r\nPosOn = 1\r\nX = 0\r\nY = 0\r\nWidth = 900\r\nHeight = 600\r\n' >"$E2E_WORK/Settings.pref"
printf '[Paht]\r\nPaht0 = %s/\r\nPaht1 = %s/\r\n[Viewer]\r\nViewer.exe = %s\r\n' \
  "$LOCAL" "$REMOTE_LOCATION" "$E2E_DIR/viewer.sh" >>"$E2E_WORK/Settings.pref"

saved() { tr -d '\r' <"$E2E_WORK/Settings.pref" | sed -n "s/^$1 = //p"; }
gone() { # no visible window titled $1 within $2 seconds
  local i
  for ((i = 0; i < $2 * 10; i++)); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}
wait_gone() { # a path that must vanish within 10 seconds
  local i
  for ((i = 0; i < 100; i++)); do [ -e "$1" ] || return 0; sleep 0.1; done
  return 1
}

e2e_start
sleep 2 # the right pane's server is mounted and read meanwhile
# left pane: .., hoch.txt
e2e_key Home Down F5
answer Achtung Return
e2e_wait_file "$R/hoch.txt" || e2e_fail "F5 did not copy hoch.txt onto the server"
cmp -s "$LOCAL/hoch.txt" "$R/hoch.txt" || e2e_fail "hoch.txt differs on the server"

# right pane: .., ordner, alt.txt, hoch.txt, loesch.txt, runter.bin, weg.txt, zgross.bin
e2e_key Tab Home Down Down Down Down Down F5 # runter.bin
answer Achtung Return
e2e_wait_file "$LOCAL/runter.bin" || e2e_fail "F5 did not fetch runter.bin"
gone "Kopieren !" 10 || e2e_fail "the download did not end"
cmp -s "$R/runter.bin" "$LOCAL/runter.bin" || e2e_fail "runter.bin differs"

e2e_key Tab Tab Home Down Down Down Down Down Down F6 # weg.txt
answer Achtung Return
e2e_wait_file "$LOCAL/weg.txt" || e2e_fail "F6 did not move weg.txt"
wait_gone "$R/weg.txt" || e2e_fail "F6 left weg.txt on the server"

e2e_key Tab Tab Home Down Down Down Down F8 # loesch.txt
answer Achtung Return
wait_gone "$R/loesch.txt" || e2e_fail "F8 did not delete loesch.txt"

e2e_key Tab Tab Home Down Down F2 # alt.txt
e2e_rename_window "F2 opened no rename field"
xdotool type --delay 20 "neu.txt"
xdotool key Return
e2e_wait_file "$R/neu.txt" || e2e_fail "F2 did not rename alt.txt"

e2e_key Tab Tab F7
new_folder() { # types $1 into the new-folder window
  local id
  id=$(timeout 10 xdotool search --sync --onlyvisible --name "^Verzeichnis erstellen !\$" | tail -1)
  [ -n "$id" ] || e2e_fail "F7 opened no window"
  xdotool windowfocus --sync "$id" 2>/dev/null
  xdotool type --delay 20 "$1"
  xdotool key Return
  sleep 0.5
}
new_folder gemacht
e2e_wait_file "$R/gemacht" || e2e_fail "F7 did not make a folder on the server"

# sftp offers no monitor: a file written on the server shows after Ctrl+R.
echo extern >"$R/a_extern.txt"
e2e_key Tab Tab ctrl+r
sleep 1
e2e_key Home Down Down Down F5 # a_extern.txt
answer Achtung Return
e2e_wait_file "$LOCAL/a_extern.txt" || e2e_fail "Ctrl+R did not show a_extern.txt, written on the server"

# rows: .., gemacht, ordner, a_extern.txt, hoch.txt, neu.txt, runter.bin, zgross.bin
e2e_key Tab Tab Home Down Down Return # into ordner
sleep 1
e2e_key Home Down F3 # innen.txt
e2e_wait_file "$E2E_DIR/viewer.log" || e2e_fail "F3 did not start the viewer"
[ "$(cat "$E2E_DIR/viewer.log")" = innen ] || e2e_fail "the viewer got: $(cat "$E2E_DIR/viewer.log")"
e2e_key Home Return # ".." back up
sleep 1

# A server that stops answering during a copy: the other pane still works
# and the copy can be cancelled; nothing is left of it.
e2e_key Home End F5 # zgross.bin
answer Achtung Return
sleep 0.5
kill -USR1 "$SERVE_PID"
e2e_key Tab F7
new_folder lokal_neu
e2e_wait_file "$LOCAL/lokal_neu" 3 || e2e_fail "the local pane did not answer while the server was stopped"
id=$(xdotool search --onlyvisible --name "^Kopieren !\$" | tail -1)
[ -n "$id" ] || e2e_fail "no progress window while the server was stopped"
xdotool windowraise "$id" windowfocus --sync "$id" 2>/dev/null
xdotool mousemove --window "$id" 340 136 click 1 # "Abbrechen"
gone "Kopieren !" 3 || e2e_fail "the copy from the stopped server could not be cancelled"
[ -e "$LOCAL/zgross.bin" ] && e2e_fail "a cancelled copy left zgross.bin"
kill -USR2 "$SERVE_PID"
sleep 1
e2e_finish
[ "$(saved Paht1)" = "$REMOTE_LOCATION/" ] || e2e_fail "the remote folder was not kept: $(saved Paht1)"
exit 0
