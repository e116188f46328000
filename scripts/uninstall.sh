#!/bin/sh
# Removes what the last install into $DESTDIR$PREFIX put there, as listed by install.sh inside
# the installed tree: its files, then the folders it made, when empty. Nothing outside
# $DESTDIR$PREFIX's listed paths is touched.
# Usage: uninstall.sh <prefix>     (DESTDIR from the environment, may be empty)
set -eu
prefix=$1
dest=${DESTDIR:-}
manifest="$dest$prefix/share/vantorel/install-manifest.txt"
if [ ! -f "$manifest" ]; then
    echo "nothing installed in ${dest}${prefix} (no $manifest)" >&2
    exit 1
fi
# The list is read whole first (it is among the files removed); the last line counts even
# without a newline.
list=$(cat "$manifest")
printf '%s\n' "$list" | while IFS= read -r line || [ -n "$line" ]; do
    case "$line" in
    "" | dir\ *) ;;
    /*) rm -f -- "$dest$line" ;;
    esac
done
printf '%s\n' "$list" | while IFS= read -r line || [ -n "$line" ]; do
    case "$line" in
    dir\ /*) rmdir -- "$dest${line#dir }" 2>/dev/null || true ;;
    esac
done
echo "uninstalled from ${dest}${prefix}"
