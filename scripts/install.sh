#!/bin/sh
# Installs the build into $DESTDIR$PREFIX and writes, inside the installed tree, the list of
# what this install added: the files, then the folders it made (deepest first). `make uninstall`
# with the same DESTDIR and PREFIX reads that list, so it removes exactly this install's files and
# never touches anything outside $DESTDIR.
# Usage: install.sh <build folder> <prefix>     (DESTDIR from the environment, may be empty)
set -eu
build=$1
prefix=$2
dest=${DESTDIR:-}
case "$prefix" in /*) ;; *) echo "PREFIX must be an absolute path: $prefix" >&2; exit 1 ;; esac
manifest_rel="share/vantorel/install-manifest.txt"

# What the install will put where, learnt from an install into a scratch folder; the build's own
# install_manifest.txt is not used (any other cmake --install of the build rewrites it).
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix "$prefix" >/dev/null
chmod -R u+w "$stage"
files=$(cd "$stage" && find . ! -type d | sed 's|^\.||' | sort)
# Folders the real install will make: those not there yet.
newdirs=$(cd "$stage" && find . -mindepth 1 -type d | sed 's|^\.||' | sort -r | while read -r d; do
    [ -e "$dest$d" ] || printf '%s\n' "$d"
done)
[ -e "$dest$prefix/share/vantorel" ] || newdirs=$(printf '%s\n%s\n' "$prefix/share/vantorel" "$newdirs")
# An install over an earlier one keeps the folders that one made.
if [ -f "$dest$prefix/$manifest_rel" ]; then
    newdirs=$( (printf '%s\n' "$newdirs"; sed -n 's/^dir //p' "$dest$prefix/$manifest_rel") | sed '/^$/d' | sort -ru)
fi

DESTDIR="$dest" cmake --install "$build" --prefix "$prefix"
mkdir -p "$dest$prefix/share/vantorel"
{
    printf '%s\n' "$files"
    printf '%s\n' "$prefix/$manifest_rel"
    printf '%s\n' "$newdirs" | sed '/^$/d' | sed 's|^|dir |'
} >"$dest$prefix/$manifest_rel"
echo "installed; uninstall with: make uninstall${dest:+ DESTDIR=$dest} PREFIX=$prefix"
