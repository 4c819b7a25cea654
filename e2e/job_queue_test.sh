#!/usr/bin/env bash
# File jobs in the real program under Xvfb: a large copy paused with
# "Anhalten" (the target stops growing) and resumed from the "Aufträge"
# window (Ctrl+J), a second F5 meanwhile that waits in the queue and is done
# afterwards, the copy byte-exact; quitting with a job running asks, "Abbruch"
# keeps it running, yes stops it with no temporary file left; so does a
# SIGTERM, which writes the settings too.
. "$(dirname "$0")/lib.sh"

SRC=$E2E_DIR/quelle DST=$E2E_DIR/ziel
mkdir -p "$SRC" "$DST"
# Real blocks, not holes, so the copy takes its time.
head -c $((1024 * 1024 * 1024)) /dev/zero >"$SRC/gross.bin"
echo klein >"$SRC/klein.txt"

printf '\xEF\xBB\xBF\r\n[Fenster]\r\nPosOn = 1\r\nX = 0\r\nY = 0\r\nWidth = 900\r\nHeight = 600\r\n[Paht]\r\nPaht0 = %s/\r\nPaht1 = %s/\r\n[Kopieren]\r\nKopien prüfen = 1\r\n' \
  "$SRC" "$DST" >"$E2E_WORK/Settings.pref"
# Copies are verified: each goes to the disk and is read back from it, so a
# large one takes seconds however fast the machine, long enough to be paused.

window() { timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" | head -1; }
click_in() { # window, x, y
  xdotool windowfocus --sync "$1" 2>/dev/null
  xdotool mousemove --window "$1" "$2" "$3" click 1
  sleep 0.4
}
# Bytes written so far into the hidden temporary of the copy in $DST.
written() { find "$DST" -maxdepth 1 -name '.tc-*' -printf '%s\n' 2>/dev/null | head -1; }
growing() {
  local a b
  a=$(written); sleep 0.5; b=$(written)
  [ -n "$a" ] && [ -n "$b" ] && [ "$b" -gt "$a" ]
}
temporaries() { find "$DST" -maxdepth 1 -name '.tc-*' | wc -l; }
# A job's first record in the undo journal goes to the disk before the job
# changes anything, and the disk may still be busy with the gigabyte just
# written: a copy may take seconds to start.
wait_written() {
  local i
  for ((i = 0; i < 600; i++)); do [ -n "$(written)" ] && return; sleep 0.05; done
}

e2e_start
# rows of the left pane: .., gross.bin, klein.txt
e2e_key Home Down F5
answer Achtung Return
wait_written
[ -n "$(written)" ] || e2e_fail "the large copy did not start"
PROGRESS=$(window "Kopieren !")
[ -n "$PROGRESS" ] || e2e_fail "no progress window"
click_in "$PROGRESS" 230 136 # "Anhalten"
sleep 0.3
growing && e2e_fail "the target still grows after Anhalten"

# A second F5 while the first job runs: queued, not dropped.
e2e_key Home Down Down F5
answer Achtung Return
sleep 1
[ -e "$DST/klein.txt" ] && e2e_fail "the second job ran beside the first on the same disk"

# "Aufträge" lists the jobs; its "Fortsetzen" lets the first one go on.
e2e_key ctrl+j
JOBS=$(window "Aufträge")
[ -n "$JOBS" ] || e2e_fail "Ctrl+J opened no window Aufträge"
xdotool windowfocus --sync "$JOBS" 2>/dev/null
xdotool key Home
click_in "$JOBS" 150 294 # "Fortsetzen"
# Resumed: the temporary grows, or the copy (in-kernel, fast) already ended.
growing || [ -e "$DST/gross.bin" ] || e2e_fail "Fortsetzen did not resume the copy"
answer "Aufträge" Escape

e2e_wait_file "$DST/gross.bin" 120 || e2e_fail "the large copy did not end"
cmp -s "$SRC/gross.bin" "$DST/gross.bin" || e2e_fail "the large copy differs"
e2e_wait_file "$DST/klein.txt" 20 || e2e_fail "the queued job was never done"
cmp -s "$SRC/klein.txt" "$DST/klein.txt" || e2e_fail "klein.txt differs"

# Quitting while a job runs asks; "Abbruch" keeps both program and job.
rm "$DST/gross.bin"
e2e_key Home Down F5
answer Achtung Return
wait_written
[ -n "$(written)" ] || e2e_fail "the third copy did not start"
quit() {
  xdotool windowfocus --sync "$E2E_WIN" 2>/dev/null
  xdotool mousemove --window "$E2E_WIN" 150 330 click 1 click 3
  sleep 0.4
  xdotool key Up Return
}
quit
answer "System Nachricht !" Escape
kill -0 "$APP_PID" 2>/dev/null || e2e_fail "Abbruch ended the program"
quit
answer "System Nachricht !" Return
e2e_wait_ended "yes with a job running"
[ "$(temporaries)" -eq 0 ] || e2e_fail "a temporary file was left behind"

# A logout's SIGTERM while a copy runs: the copy stops as a cancel does, no
# temporary stays, and the settings are written. (The copy stopped above may
# have ended before the quit: then the file is there and would be asked about.)
rm -f "$DST/gross.bin"
e2e_start
e2e_key Home Down F5
answer Achtung Return
wait_written
[ -n "$(written)" ] || e2e_fail "the copy before SIGTERM did not start"
printf '' >"$E2E_WORK/Settings.pref"
kill -TERM "$APP_PID"
e2e_wait_ended "SIGTERM during a copy"
grep -q "Paht0 = $SRC/" "$E2E_WORK/Settings.pref" || e2e_fail "SIGTERM during a copy: no settings written"
[ "$(temporaries)" -eq 0 ] || e2e_fail "SIGTERM during a copy left a temporary file"
echo "job_queue_test: ok"
