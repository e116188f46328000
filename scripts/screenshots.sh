#!/bin/sh
# Saves pictures of the login window and of the windows each area adds (tools/shots_*.cpp) into
# docs/screenshots/, with the program running on a virtual X display.
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
exec xvfb-run -a -s "-screen 0 1600x1000x24" "$BUILD_DIR/tools/vantorel_screenshots" docs/screenshots
