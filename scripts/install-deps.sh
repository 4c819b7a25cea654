#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need,
# but only when one of them is missing, so repeated runs cost nothing.
set -eu
pkgs="g++ cmake ninja-build pkg-config qt6-base-dev libqt6svg6 libglib2.0-dev
libpng-dev zlib1g-dev libgtest-dev xvfb xauth xdotool x11-utils libx11-dev imagemagick
fonts-dejavu-core fonts-liberation2 shared-mime-info adwaita-icon-theme
hicolor-icon-theme desktop-file-utils make dpkg-dev file qt6-translations-l10n libxxhash-dev
gvfs gvfs-daemons gvfs-backends dbus-daemon dbus-session-bus-common openssh-server
openssh-client"
missing=""
for p in $pkgs; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" != 0 ]; then SUDO=sudo; else SUDO=; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get -o DPkg::Lock::Timeout=600 update -qq
# shellcheck disable=SC2086
$SUDO apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends $missing >/dev/null
