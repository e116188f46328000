#!/bin/sh
# Installs the build into a scratch prefix and checks what a desktop needs, then starts the
# installed program the ways a user would and checks where its data goes.
# Usage: install_test.sh <build folder>
set -eu
build=$1
scratch=$(mktemp -d)
trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$scratch/root" cmake --install "$build" --prefix /usr >/dev/null
root="$scratch/root/usr"
for f in bin/vantorel share/applications/vantorel.desktop share/icons/hicolor/scalable/apps/vantorel.svg \
         share/metainfo/com.vantorel.Vantorel.metainfo.xml; do
    [ -f "$root/$f" ] || fail "not installed: $f"
done
desktop-file-validate "$root/share/applications/vantorel.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root/share/metainfo/com.vantorel.Vantorel.metainfo.xml" >/dev/null || fail "metainfo"
"$root/bin/vantorel" --version | grep -q "3.8" || fail "--version"
"$root/bin/vantorel" --help | grep -q -- "--data-dir" || fail "--help"

# Starts the program for a moment (it waits at its login window), offscreen.
run() { QT_QPA_PLATFORM=offscreen timeout "${WAIT:-4}" "$@" >"$scratch/out" 2>&1 || true; }
mode() { stat -c %a "$1"; }

# Installed, in a folder the user cannot write: the data goes to the user's data folder, private.
chmod -R a-w "$root"
XDG_DATA_HOME="$scratch/xdg" run "$root/bin/vantorel"
[ -f "$scratch/xdg/vantorel/mylive.dc" ] || fail "no data under XDG_DATA_HOME"
[ "$(mode "$scratch/xdg/vantorel")" = 700 ] || fail "data folder mode $(mode "$scratch/xdg/vantorel")"
[ ! -e "$root/bin/mylive.dc" ] || fail "data beside the installed program"

# A portable copy keeps its data beside itself.
mkdir "$scratch/portable"
cp "$root/bin/vantorel" "$scratch/portable/"
XDG_DATA_HOME="$scratch/xdg2" run "$scratch/portable/vantorel"
[ -f "$scratch/portable/mylive.dc" ] || fail "portable copy lost its data"
[ ! -e "$scratch/xdg2/vantorel" ] || fail "portable copy used XDG_DATA_HOME"

# --data-dir wins over both.
XDG_DATA_HOME="$scratch/xdg3" run "$scratch/portable/vantorel" --data-dir "$scratch/chosen"
[ -f "$scratch/chosen/mylive.dc" ] || fail "--data-dir not used"

# Two starts on one data folder give one program.
QT_QPA_PLATFORM=offscreen timeout 6 "$root/bin/vantorel" --data-dir "$scratch/chosen" >/dev/null 2>&1 &
first=$!
sleep 2
WAIT=2 run "$root/bin/vantorel" --data-dir "$scratch/chosen"
grep -q "already running" "$scratch/out" || fail "second start not refused"
wait $first || true
echo "install test passed"
