#!/usr/bin/env bash
# startup_usable: time from the program's start until, with a folder of
# 100,000 files in each pane, the first key is answered on the listed rows:
# End and F3 hand the last file to a recording viewer. The peer is Debian's
# two-pane terminal file manager (mc) in tmux, started on the same two
# folders; for it the answered key is End showing the last file on screen.
# RUNS rounds, each one start of ours and one of the peer back to back, warm
# cache; the ratio is the median of the rounds' own ratios, since this
# machine changes speed within the minute. Usage: startup_usable_bench.sh BUILD
set -u
BUILD=$(realpath "${1:?usage: startup_usable_bench.sh BUILD_DIR}")
BIN=$BUILD/tarn-commander
RUNS=${RUNS:-7}
FILES=100000
TARGET=0.5
for tool in mc tmux Xvfb xdotool; do
  command -v "$tool" >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq mc tmux \
    xvfb xdotool >/dev/null 2>&1
done
command -v mc >/dev/null || { echo "BENCH startup_usable: mc could not be installed"; exit 1; }

D=$(mktemp -d /tmp/tc-bench-start-XXXXXX)
XVFB=""
cleanup() {
  tmux -L tcbench kill-server 2>/dev/null
  [ -n "$XVFB" ] && kill "$XVFB" 2>/dev/null
  rm -rf "$D"
}
trap cleanup EXIT
mkdir -p "$D/left" "$D/right" "$D/work" "$D/home" "$D/xdg"
chmod 700 "$D/xdg"
export HOME=$D/home XDG_RUNTIME_DIR=$D/xdg XDG_CONFIG_HOME=$D/home/.config
(cd "$D/left" && seq -f 'f%06g.txt' 0 $((FILES - 1)) | xargs touch)
(cd "$D/right" && seq -f 'f%06g.dat' 0 $((FILES - 1)) | xargs touch)
LAST=f$(printf '%06d' $((FILES - 1)))
cat "$D"/left/* >/dev/null 2>&1 # warm the folder and inode caches
ls -l "$D/left" "$D/right" >/dev/null

now() { date +%s.%N; }
median() { sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

# ---- ours, under Xvfb ----
fifo=$D/displayfd
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" 2>/dev/null &
XVFB=$!
read -r -t 20 num <"$fifo" || { echo "BENCH startup_usable: Xvfb did not start"; exit 1; }
export DISPLAY=:$num
# The other benchmarks run offscreen; this one needs the real X window.
export QT_QPA_PLATFORM=xcb
cat >"$D/viewer.sh" <<SH
#!/bin/sh
echo "\$1" >"$D/viewer.tmp" && mv "$D/viewer.tmp" "$D/viewer.log"
SH
chmod +x "$D/viewer.sh"
# One start of ours; prints the seconds, or nothing when the program did not
# get as far as answering (its output and exit code then go to stderr).
ours_once() {
  rm -f "$D/viewer.log" "$D/work/Settings.pref"
  printf '\xEF\xBB\xBF\r\n[Fenster]\r\nPosOn = 1\r\nX = 0\r\nY = 0\r\nWidth = 1020\r\nHeight = 630\r\n[Paht]\r\nPaht0 = %s/\r\nPaht1 = %s/\r\n[Viewer]\r\nViewer.exe = %s\r\n' \
    "$D/right" "$D/left" "$D/viewer.sh" >"$D/work/Settings.pref"
  local t0 t1 win pid i=0 answered=0 rc
  t0=$(now)
  (cd "$D/work" && exec "$BIN") >"$D/ours.log" 2>&1 &
  pid=$!
  # xdotool's own --sync looks only every half second: look every 10 ms,
  # for 20 s at the most, and stop looking when the program is gone.
  win=""
  local until=$(($(date +%s) + 20))
  while [ -z "$win" ] && [ "$(date +%s)" -lt $until ] && kill -0 "$pid" 2>/dev/null; do
    win=$(xdotool search --onlyvisible --name "Tarn Commander" 2>/dev/null | head -1)
    [ -n "$win" ] || sleep 0.01
  done
  [ -n "$win" ] || i=3000 # no window: no keys
  for ((; i < 3000; i++)); do
    if [ $((i % 2)) -eq 0 ]; then
      xdotool windowfocus "$win" 2>/dev/null
      xdotool key --window "$win" End F3 2>/dev/null
    fi
    if [ -e "$D/viewer.log" ]; then
      grep -q "$LAST" "$D/viewer.log" && { answered=1; break; }
      rm -f "$D/viewer.log"
    fi
    sleep 0.01
  done
  t1=$(now)
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  rc=$?
  if [ $answered = 0 ]; then
    echo "startup_usable: no answer (window '${win}', exit code $rc); the program said:" >&2
    tail -5 "$D/ours.log" >&2
    return
  fi
  echo "$t1 - $t0" | bc -l
}

# ---- the peer, in tmux ----
tmux -L tcbench new-session -d -s tcbench -x 200 -y 60 "sleep 100000"
mc_once() {
  local t0 t1 i
  t0=$(now)
  tmux -L tcbench new-window -t tcbench: -n mc "exec mc -u -d '$D/left' '$D/right'"
  for ((i = 0; i < 3000; i++)); do
    tmux -L tcbench send-keys -t tcbench:mc End 2>/dev/null
    tmux -L tcbench capture-pane -p -t tcbench:mc 2>/dev/null | grep -q "$LAST" && break
    sleep 0.01
  done
  t1=$(now)
  tmux -L tcbench kill-window -t tcbench:mc 2>/dev/null
  echo "$t1 - $t0" | bc -l
}

ours_once >/dev/null # warm-up: fonts, icon theme, MIME database
mc_once >/dev/null
: >"$D/ours" && : >"$D/peer" && : >"$D/ratios"
for ((r = 0; r < RUNS; r++)); do
  o=$(ours_once)
  p=$(mc_once)
  [ -n "$o" ] || continue
  echo "$o" >>"$D/ours"
  echo "$p" >>"$D/peer"
  echo "$o / $p" | bc -l >>"$D/ratios"
done
answered=$(wc -l <"$D/ours")
[ "$answered" -gt 0 ] || { echo "BENCH startup_usable: the program never answered"; exit 1; }
o=$(median <"$D/ours")
p=$(median <"$D/peer")
ratio=$(median <"$D/ratios")
echo "startup_usable rounds (ours/mc): $(tr '\n' ' ' <"$D/ratios")" >&2
printf 'BENCH startup_usable ratio=%.3f target=%s ours=%.3fs mc=%.3fs\n' "$ratio" "$TARGET" "$o" "$p"
# a start that never answered is a failure, whatever the others measured
[ "$answered" -eq "$RUNS" ] || { echo "startup_usable: $((RUNS - answered)) of $RUNS starts never answered"; exit 1; }
[ "$(echo "$ratio <= $TARGET" | bc -l)" = 1 ]
