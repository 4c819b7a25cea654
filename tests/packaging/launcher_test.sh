#!/usr/bin/env bash
# The desktop launcher, with a stub in place of the program that records
# the folder it was started in and its arguments: found however the
# launcher is called, $HOME and XDG_CONFIG_HOME honoured, and a folder or a
# file:// URI handed on as one absolute path.
# Usage: launcher_test.sh path/to/tarn-commander-desktop
set -u
launcher=$(realpath "${1:?usage: launcher_test.sh path/to/tarn-commander-desktop}")
T=$(mktemp -d /tmp/tc-launcher-XXXXXX)
trap 'rm -rf "$T"' EXIT
mkdir -p "$T/bin" "$T/links" "$T/home" "$T/work/Urlaub Fotos/Bärbel"
cp "$launcher" "$T/bin/tarn-commander-desktop"
cat >"$T/bin/tarn-commander" <<'STUB'
#!/bin/sh
{ pwd; for a; do printf '[%s]\n' "$a"; done; } >"$STUB_LOG"
STUB
chmod +x "$T/bin/tarn-commander-desktop" "$T/bin/tarn-commander"
ln -s ../bin/tarn-commander-desktop "$T/links/tc"
export STUB_LOG=$T/log HOME=$T/home
unset XDG_CONFIG_HOME
CONFIG=$T/home/.config/tarn-commander
failed=0

# expect WHAT EXPECTED-LOG COMMAND...: runs the command in $T/work.
expect() {
  local what=$1 want=$2
  shift 2
  rm -f "$STUB_LOG"
  (cd "$T/work" && "$@") 2>"$T/err"
  local got
  got=$(cat "$STUB_LOG" 2>/dev/null || echo "(not started: $(cat "$T/err"))")
  if [ "$got" != "$want" ]; then
    echo "FAIL $what: got '$got', wanted '$want'"
    failed=1
  fi
}

# The first start opens $HOME; later starts open what the settings say.
expect "relative path, first start" "$CONFIG
[$T/home/]" ../bin/tarn-commander-desktop
touch "$CONFIG/Settings.pref"
expect "relative path" "$CONFIG" ../bin/tarn-commander-desktop
expect "symbolic link" "$CONFIG" ../links/tc
expect "search path" "$CONFIG" env PATH="$T/links:$PATH" tc
expect "absolute XDG_CONFIG_HOME" "$T/xdg/tarn-commander
[$T/home/]" env XDG_CONFIG_HOME="$T/xdg" ../links/tc
expect "relative XDG_CONFIG_HOME is ignored" "$CONFIG" env XDG_CONFIG_HOME=rel ../links/tc

# A folder, relative or absolute, or a file:// URI: one absolute folder path.
folder="$T/work/Urlaub Fotos/Bärbel/"
expect "relative folder" "$CONFIG
[$folder]" ../links/tc "Urlaub Fotos/Bärbel"
expect "file URI" "$CONFIG
[$folder]" ../links/tc "file://$T/work/Urlaub%20Fotos/B%C3%A4rbel"
expect "file URI of localhost" "$CONFIG
[$folder]" ../links/tc "file://localhost$T/work/Urlaub%20Fotos/B%c3%a4rbel/"
expect "a name that looks like an option" "$CONFIG
[$T/work/-x]" ../links/tc -x

[ "$failed" -eq 0 ] && echo "launcher: all cases passed"
exit "$failed"
