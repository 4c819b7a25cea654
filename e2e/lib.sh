#!/usr/bin/env bash
# Shared helpers of the end-to-end tests: a private Xvfb display, a private
# working folder with its own HOME, the program started in it, xdotool to
# type and click, and a clean tear-down whatever happens.
# A test sources this file, calls e2e_start, drives the program and uses
# e2e_fail / e2e_expect to report; e2e_finish checks the exit code.
set -u

E2E_BIN=${1:?usage: test.sh path/to/tarn-commander}
E2E_BIN=$(realpath "$E2E_BIN") # the program starts in a folder of its own
E2E_TOOLS=$(dirname "$E2E_BIN")
E2E_DIR=$(mktemp -d /tmp/tc-e2e-XXXXXX)
E2E_WORK=$E2E_DIR/work
E2E_LOG=$E2E_DIR/program.log
mkdir -p "$E2E_WORK" "$E2E_DIR/home" "$E2E_DIR/xdg"
chmod 700 "$E2E_DIR/xdg"
export HOME=$E2E_DIR/home XDG_RUNTIME_DIR=$E2E_DIR/xdg XDG_CONFIG_HOME=$E2E_DIR/home/.config
export XDG_DATA_HOME=$E2E_DIR/home/.local/share
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb # the real X window, even where offscreen was set
XVFB_PID="" APP_PID="" E2E_WIN=""

e2e_cleanup() {
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  wait 2>/dev/null
  chmod -R u+rwx "$E2E_DIR" 2>/dev/null
  rm -rf "$E2E_DIR"
}
trap e2e_cleanup EXIT

e2e_fail() {
  echo "  e2e failure: $*" >&2
  [ -s "$E2E_LOG" ] && sed 's/^/  program: /' "$E2E_LOG" | tail -20 >&2
  exit 1
}

e2e_expect() { # description, then a command that must succeed
  local what=$1; shift
  "$@" || e2e_fail "$what"
}

# Starts Xvfb on a display number it picks itself, with a screen of
# $E2E_SCREEN (1280x1024x24 unless a test sets it).
e2e_display() {
  local fifo=$E2E_DIR/displayfd
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN:-1280x1024x24}" -nolisten tcp -noreset 3>"$fifo" 2>/dev/null &
  XVFB_PID=$!
  local num
  read -r -t 20 num <"$fifo" || e2e_fail "Xvfb did not start"
  export DISPLAY=:$num
}

# Starts the program in the working folder and waits for its main window.
e2e_start() {
  [ -n "${DISPLAY:-}" ] && [ -n "$XVFB_PID" ] || e2e_display
  (cd "$E2E_WORK" && exec "$E2E_BIN") >"$E2E_LOG" 2>&1 &
  APP_PID=$!
  E2E_WIN=$(timeout 30 xdotool search --sync --onlyvisible --name "Tarn Commander" | head -1)
  [ -n "$E2E_WIN" ] || e2e_fail "the main window did not appear"
  xdotool windowfocus --sync "$E2E_WIN" 2>/dev/null
  sleep 0.5
}

e2e_key() { # xdotool key names, sent to the focused window
  xdotool windowfocus --sync "$E2E_WIN" 2>/dev/null
  xdotool key --delay 50 "$@"
  sleep 0.4
}

e2e_type() {
  xdotool type --delay 20 "$1"
  sleep 0.3
}

e2e_title() { xdotool getwindowname "$E2E_WIN"; }

# Waits up to $2 seconds (default 10) for a file to exist.
e2e_wait_file() {
  local i
  for ((i = 0; i < ${2:-10} * 10; i++)); do [ -e "$1" ] && return 0; sleep 0.1; done
  return 1
}

# Sends the close request and expects the program to end with exit code 0.
e2e_finish() {
  "$E2E_TOOLS/e2e_wm_close" "$E2E_WIN" || e2e_fail "could not send the close request"
  e2e_wait_ended "the close request"
}

# The program ends with exit code 0 within $2 seconds (10 by default) after
# what $1 names; it is reaped, and APP_PID is cleared.
e2e_wait_ended() {
  local i rc
  for ((i = 0; i < ${2:-10} * 10; i++)); do kill -0 "$APP_PID" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$APP_PID" 2>/dev/null && e2e_fail "$1 did not end the program"
  wait "$APP_PID"
  rc=$?
  APP_PID=""
  [ "$rc" -eq 0 ] || e2e_fail "$1: exit code $rc"
}

e2e_screenshot() { import -window root "$1" 2>/dev/null; }

# Focuses the inline rename field, a borderless window of the program;
# fails with $1 when none opens.
e2e_rename_window() {
  local id i
  for ((i = 0; i < 50; i++)); do
    id=$(xdotool search --onlyvisible --class tarn-commander | grep -vx "$E2E_WIN" | tail -1)
    [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "$id" ] || e2e_fail "$1"
  xdotool windowfocus --sync "$id" 2>/dev/null
}

# Makes the program $1 the desktop's text editor, through a private
# application database (the real MIME database beside it), and leaves no
# desktop or session bus that could choose another.
e2e_text_editor() {
  chmod +x "$1"
  local apps=$E2E_DIR/data/applications
  mkdir -p "$apps" "$XDG_CONFIG_HOME"
  ln -sfn /usr/share/mime "$E2E_DIR/data/mime"
  printf '[Desktop Entry]\nType=Application\nName=Editor\nExec=%s %%f\nMimeType=text/plain;\n' \
    "$1" >"$apps/tc-editor.desktop"
  printf '[MIME Cache]\ntext/plain=tc-editor.desktop;\n' >"$apps/mimeinfo.cache"
  printf '[Default Applications]\ntext/plain=tc-editor.desktop\n' >"$XDG_CONFIG_HOME/mimeapps.list"
  export XDG_DATA_DIRS=$E2E_DIR/data XDG_CONFIG_DIRS=$E2E_DIR/config-sys
  unset XDG_CURRENT_DESKTOP DBUS_SESSION_BUS_ADDRESS
}

answer() { # a visible window titled exactly $1 gets the key $2
  local id
  id=$(timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" | tail -1)
  [ -n "$id" ] || e2e_fail "no window '$1'"
  xdotool windowfocus --sync "$id" 2>/dev/null
  xdotool key --delay 50 "$2"
  sleep 0.4
}
