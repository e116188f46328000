#!/bin/sh
# Installs the Debian packages the build, the tests and the screenshots need, when any is missing.
set -eu

PACKAGES="build-essential cmake ninja-build pkg-config
qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev
libqt6sql6-sqlite libqt6svg6 qt6-translations-l10n qt6-qpa-plugins
libxlsxwriter-dev libminizip-dev fonts-noto-cjk xvfb xauth
desktop-file-utils appstream
libsodium-dev
libsqlite3-dev
libical-dev python3-icalendar python3-vobject todoman
clang-format
radicale python3-caldav qtkeychain-qt6-dev"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
elif command -v sudo >/dev/null 2>&1; then
    SUDO="sudo"
else
    echo "Missing packages:$missing; run this script as root to install them." >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
# shellcheck disable=SC2086
$SUDO apt-get install -y -q --no-install-recommends $missing
