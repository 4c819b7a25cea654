#!/usr/bin/env bash
# Start-up and shutdown with what a desktop does to the program: a logout's
# SIGTERM or SIGHUP ends it like the close button (settings written, exit
# code 0), and window sizes no window can have still open the window.
. "$(dirname "$0")/lib.sh"

TREE=$E2E_DIR/tree
mkdir -p "$TREE/alpha"

write_settings() { # window keys (CR LF lines)
  printf '\xEF\xBB\xBF\r\n[Fenster]\r\nPosOn = 1\r\n%b[Paht]\r\nPaht0 = %s/\r\nPaht1 = %s/\r\n' \
    "$1" "$TREE" "$TREE" >"$E2E_WORK/Settings.pref"
}
saved() { tr -d '\r' <"$E2E_WORK/Settings.pref" | sed -n "s/^$1 = //p"; }

ends_on() { # signal: the program ends with code 0 within five seconds
  kill -"$1" "$APP_PID"
  e2e_wait_ended "SIG$1" 5
}

# 1. A logout saves the settings: the folder entered before it is kept.
for sig in TERM HUP; do
  write_settings "Width = 900\r\nHeight = 600\r\n"
  e2e_start
  e2e_key Down Return
  ends_on "$sig"
  [ "$(saved Paht0)" = "$TREE/alpha/" ] || e2e_fail "SIG$sig lost the settings: $(saved Paht0)"
done

# 2. Negative and absurd sizes open the smallest window and are saved as the
#    size the window has.
for size in "Width = -900\r\nHeight = -1\r\n" "Width = -99999999999999999999\r\nHeight = 480\r\n"; do
  write_settings "$size"
  e2e_start
  e2e_finish
  [ "$(saved Width)" = 640 ] && [ "$(saved Height)" = 480 ] ||
    e2e_fail "size '$size' saved as $(saved Width) x $(saved Height)"
done
write_settings "Center = 1\r\n"
e2e_start
e2e_finish
[ "$(saved Width)" = 1020 ] && [ "$(saved Height)" = 630 ] ||
  e2e_fail "the centred window was saved as $(saved Width) x $(saved Height)"
exit 0
