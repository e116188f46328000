#!/bin/sh
# Installs the build into a scratch DESTDIR the way `make install` does and checks what a desktop
# needs, then starts the installed program the ways a user would and checks where its data goes;
# at last uninstalls the way `make uninstall` does and checks that exactly the install's files
# went, and that nothing outside the scratch DESTDIR was touched.
# Usage: install_test.sh <build folder>
set -eu
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")/.." && pwd)
scratch=$(mktemp -d)
# The build's own install_manifest.txt belongs to the user's last install: kept as it was.
manifest="$build/install_manifest.txt"
[ -f "$manifest" ] && cp -p "$manifest" "$scratch/manifest.saved"
restore() {
    if [ -f "$scratch/manifest.saved" ]; then cp -p "$scratch/manifest.saved" "$manifest"; else rm -f "$manifest"; fi
    chmod -R u+w "$scratch"
    rm -rf "$scratch"
}
trap restore EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Something of another package's in the same tree: uninstall must leave it and its folders.
mkdir -p "$scratch/root/usr/share/applications"
echo other >"$scratch/root/usr/share/applications/other.desktop"
outside_before=$(ls -la /usr/bin/vantorel /usr/share/applications/vantorel.desktop \
    /usr/share/metainfo/com.vantorel.Vantorel.metainfo.xml 2>&1 || true)
DESTDIR="$scratch/root" "$here/scripts/install.sh" "$build" /usr >/dev/null
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

# Uninstall with the same DESTDIR and prefix: the install's files and the folders it made go.
chmod -R u+w "$scratch/root"
DESTDIR="$scratch/root" "$here/scripts/uninstall.sh" /usr >/dev/null || fail "uninstall"
left=$(cd "$scratch/root" && find . | sort | tr '\n' ' ')
[ "$left" = ". ./usr ./usr/share ./usr/share/applications ./usr/share/applications/other.desktop " ] ||
    fail "left after uninstall: $left"
outside_after=$(ls -la /usr/bin/vantorel /usr/share/applications/vantorel.desktop \
    /usr/share/metainfo/com.vantorel.Vantorel.metainfo.xml 2>&1 || true)
[ "$outside_before" = "$outside_after" ] || fail "uninstall touched the real system"
# A second uninstall finds nothing to do and says so.
DESTDIR="$scratch/root" "$here/scripts/uninstall.sh" /usr >/dev/null 2>&1 && fail "second uninstall"
echo "install test passed"
