#!/usr/bin/env bash
# The program as a user installs it: `cmake --install` into a private prefix
# and the Debian package unpacked with `dpkg -x` hold the same files; the
# package's control fields name its libraries and run-time data; the desktop
# entry is valid; and the unpacked copy, started through its desktop
# launcher, opens its window and keeps "Settings.pref" in the user's
# configuration folder.
. "$(dirname "$0")/lib.sh"

BUILD=$E2E_TOOLS
PREFIX=$E2E_DIR/prefix ROOT=$E2E_DIR/root
cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null || e2e_fail "cmake --install failed"
(cd "$BUILD" && cpack -G DEB -B "$E2E_DIR/pkg" >"$E2E_DIR/cpack.log" 2>&1) ||
  e2e_fail "cpack failed: $(tail -5 "$E2E_DIR/cpack.log")"
DEB=$(ls "$E2E_DIR"/pkg/tarn-commander_*.deb 2>/dev/null | head -1)
[ -n "$DEB" ] || e2e_fail "no package was built"

# 1. The package holds exactly what the install puts in place.
expected="bin/tarn-commander
bin/tarn-commander-desktop
share/applications/tarn-commander.desktop
share/icons/hicolor/scalable/apps/tarn-commander.svg"
for n in 16 22 24 32 48 64 128 256; do
  expected="$expected
share/icons/hicolor/${n}x${n}/apps/tarn-commander.png"
done
expected=$(echo "$expected" | sort)
installed=$(cd "$PREFIX" && find . -type f | sed 's|^\./||' | sort)
packaged=$(dpkg-deb -c "$DEB" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./usr/||' | sort)
[ "$installed" = "$expected" ] || e2e_fail "install holds: $installed"
[ "$packaged" = "$expected" ] || e2e_fail "package holds: $packaged"

# 2. Control fields: name, libraries found by dpkg-shlibdeps, run-time data.
field() { dpkg-deb -f "$DEB" "$1"; }
[ "$(field Package)" = tarn-commander ] || e2e_fail "package name $(field Package)"
deps=$(field Depends)
for d in libqt6widgets6 libpng16-16 libglib2.0-0 libc6 shared-mime-info adwaita-icon-theme \
  fonts-dejavu-core qt6-translations-l10n; do
  case "$deps" in *"$d"*) ;; *) e2e_fail "Depends lacks $d: $deps" ;; esac
done

# 3. The unpacked copy: a valid desktop entry, and a start from the menu.
dpkg -x "$DEB" "$ROOT" || e2e_fail "dpkg -x failed"
desktop-file-validate "$ROOT/usr/share/applications/tarn-commander.desktop" ||
  e2e_fail "desktop entry not valid"
grep -q '^Exec=tarn-commander-desktop %U$' "$ROOT/usr/share/applications/tarn-commander.desktop" ||
  e2e_fail "desktop entry does not start the launcher"
CONFIG=$XDG_CONFIG_HOME/tarn-commander
[ -e "$CONFIG" ] && e2e_fail "config folder exists before the first start"
E2E_BIN=$ROOT/usr/bin/tarn-commander-desktop
e2e_start
[ "$(e2e_title)" = "Tarn Commander v0.52 Beta" ] || e2e_fail "title is '$(e2e_title)'"
e2e_finish
[ -s "$CONFIG/Settings.pref" ] || e2e_fail "no Settings.pref in $CONFIG"
[ -e "$E2E_WORK/Settings.pref" ] && e2e_fail "Settings.pref written in the start folder"
exit 0
