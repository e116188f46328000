#!/bin/sh
# Saves pictures of the login window, the today view, the add-task dialog and a reminder into
# docs/screenshots/, with the program running on a virtual X display.
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
exec xvfb-run -a -s "-screen 0 1366x900x24" "$BUILD_DIR/tools/vantorel_screenshots" docs/screenshots
