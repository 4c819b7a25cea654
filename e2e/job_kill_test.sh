#!/usr/bin/env bash
# The program killed with SIGKILL in the middle of a job loses nothing: in
# the middle of a large file (F5), and in the middle of a move of 20,000
# files from the disk to a small file system of its own (F6, where root may
# mount one). Afterwards every file is whole under its own name in the
# source or the target, never cut short and never in neither, and after the
# next start no temporary file is to be seen.
. "$(dirname "$0")/lib.sh"

SRC=$E2E_DIR/quelle DST=$E2E_DIR/ziel SMALL=$E2E_DIR/klein
mkdir -p "$SRC" "$DST" "$SMALL"
trap 'umount -l "$SMALL" 2>/dev/null; e2e_cleanup' EXIT

settings() { # left folder, right folder
  printf '\xEF\xBB\xBF\r\n[Fenster]\r\nPosOn = 1\r\nX = 0\r\nY = 0\r\nWidth = 900\r\nHeight = 600\r\n[Paht]\r\nPaht0 = %s/\r\nPaht1 = %s/\r\n' \
    "$1" "$2" >"$E2E_WORK/Settings.pref"
}
killed() {
  kill -KILL "$APP_PID"
  wait "$APP_PID" 2>/dev/null
  APP_PID=""
}
temporaries() { find "$1" -name '.tc-*' | wc -l; }
# The second start shows both folders again, which clears what the killed
# program left there.
restart_and_look() { # folder that must hold no temporary
  e2e_start
  sleep 1
  [ "$(temporaries "$1")" -eq 0 ] || e2e_fail "temporaries after the next start: $(find "$1" -name '.tc-*')"
  e2e_finish
}

# ---- in the middle of a large file ----
head -c $((1024 * 1024 * 1024)) /dev/zero >"$SRC/gross.bin"
settings "$SRC" "$DST"
e2e_start
e2e_key Home Down F5
answer Achtung Return
for ((i = 0; i < 200; i++)); do [ "$(temporaries "$DST")" -gt 0 ] && break; sleep 0.02; done
killed
[ -e "$DST/gross.bin" ] && echo "  note: the large copy ended before the kill"
[ "$(stat -c %s "$SRC/gross.bin")" -eq $((1024 * 1024 * 1024)) ] || e2e_fail "the source was cut"
[ ! -e "$DST/gross.bin" ] || cmp -s "$SRC/gross.bin" "$DST/gross.bin" ||
  e2e_fail "a partial copy under the final name"
restart_and_look "$DST"
rm -f "$SRC/gross.bin" "$DST/gross.bin"

# ---- in the middle of a move of 20,000 files to another file system ----
if ! mount -t tmpfs -o size=256m tmpfs "$SMALL" 2>/dev/null; then
  echo "  skipped: the move across file systems needs a tmpfs of its own (root)"
  exit 0
fi
MOVED=$E2E_DIR/viele_quelle
mkdir -p "$MOVED/viele"
python3 - "$MOVED/viele" <<'EOF'
import sys
for i in range(20000):
    with open(f"{sys.argv[1]}/datei_{i}", "w") as f:
        f.write(f"Inhalt {i}\n" * 100)
EOF
settings "$MOVED" "$SMALL"
e2e_start
e2e_key Home Down F6
answer Achtung Return
for ((i = 0; i < 600; i++)); do
  [ "$(find "$SMALL/viele" -maxdepth 1 -name 'datei_*' 2>/dev/null | wc -l)" -ge 3000 ] && break
  sleep 0.05
done
killed
python3 - "$MOVED/viele" "$SMALL/viele" <<'EOF' || e2e_fail "files lost or cut by the kill"
import os, sys
src, dst = sys.argv[1], sys.argv[2]
def whole(folder, i):
    try:
        with open(f"{folder}/datei_{i}") as f:
            return f.read() == f"Inhalt {i}\n" * 100
    except FileNotFoundError:
        return None
moved = bad = 0
for i in range(20000):
    s, d = whole(src, i), whole(dst, i)
    if s is False or d is False:
        print(f"  datei_{i} cut short", file=sys.stderr); bad += 1
    elif s is None and d is None:
        print(f"  datei_{i} in neither", file=sys.stderr); bad += 1
    moved += d is True and s is None
print(f"  {moved} files moved before the kill", file=sys.stderr)
sys.exit(1 if bad or moved == 0 or moved == 20000 else 0)
EOF
restart_and_look "$SMALL"
