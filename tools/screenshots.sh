#!/usr/bin/env bash
# Takes the README's pictures under Xvfb: docs/main-window.png (the main
# window on a small sample tree) and docs/copy-progress.png (the progress
# window of a copy of many files). Run from the repository root after
# `make build`: bash tools/screenshots.sh [build/tarn-commander]
set -u
BIN=$(realpath "${1:-build/tarn-commander}")
OUT=$(pwd)/docs
D=$(mktemp -d /tmp/tc-shots-XXXXXX)
XVFB="" APP=""
cleanup() {
  [ -n "$APP" ] && kill "$APP" 2>/dev/null
  [ -n "$XVFB" ] && kill "$XVFB" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$D"
}
trap cleanup EXIT
mkdir -p "$D/work" "$D/home" "$D/xdg" "$OUT"
chmod 700 "$D/xdg"
export HOME=$D/home XDG_RUNTIME_DIR=$D/xdg XDG_CONFIG_HOME=$D/home/.config

# A small home folder to look at, and a folder of many files to copy.
L=$D/Dokumente R=$D/Sicherung
mkdir -p "$L/Briefe" "$L/Fotos 2026" "$L/Projekte/tarn" "$L/Übersicht" "$R"
for f in Rechnung-0815.pdf Lebenslauf.odt Notizen.txt Urlaubsplanung.ods Präsentation.odp; do
  head -c $((RANDOM * 37 + 1000)) /dev/urandom >"$L/$f"
done
head -c 3000000 /dev/urandom >"$L/Sommerfest.png"
printf '#!/bin/sh\necho hallo\n' >"$L/starten.sh" && chmod +x "$L/starten.sh"
# Big enough files that the copy lasts long enough to be photographed.
mkdir -p "$L/Archiv" && head -c 400000 /dev/urandom >"$L/Archiv/scan_00001.jpg"
for i in $(seq -f '%05g' 2 600); do cp "$L/Archiv/scan_00001.jpg" "$L/Archiv/scan_$i.jpg"; done
touch -d '2026-11-28 09:15' "$L"/* 2>/dev/null

fifo=$D/displayfd
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
XVFB=$!
read -r -t 20 num <"$fifo" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$num
printf '\xEF\xBB\xBF\r\n[Fenster]\r\nPosOn = 1\r\nX = 0\r\nY = 0\r\nWidth = 1020\r\nHeight = 630\r\n[Paht]\r\nPaht0 = %s/\r\nPaht1 = %s/\r\n' \
  "$L" "$R" >"$D/work/Settings.pref"
(cd "$D/work" && exec "$BIN") >/dev/null 2>&1 &
APP=$!
WIN=$(timeout 30 xdotool search --sync --onlyvisible --name "Tarn Commander" | head -1)
[ -n "$WIN" ] || { echo "no main window" >&2; exit 1; }
xdotool windowfocus --sync "$WIN"
sleep 2 # type names and icons fill in
xdotool key --delay 80 Home Down Down Down
sleep 0.5
import -window "$WIN" "$OUT/main-window.png"

# The copy: "Archiv" (row 1 after ".."), confirmed with Return.
xdotool key --delay 80 Home Down F5
sleep 0.6
xdotool key Return
PROG=$(timeout 10 xdotool search --sync --onlyvisible --name "^Kopieren !$" | head -1)
[ -n "$PROG" ] || { echo "no progress window" >&2; exit 1; }
sleep 0.2
# The root window is taken and cut, so that the progress window may close
# while the picture is written.
eval "$(xdotool getwindowgeometry --shell "$PROG")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$OUT/copy-progress.png"
echo "wrote $OUT/main-window.png and $OUT/copy-progress.png"
