#!/bin/sh
# Runs every benchmark program: the start-up benchmark, then each bench_* program of the build.
# A data folder given as the first argument is passed on to the programs that take one.
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
"$BUILD_DIR/benchmarks/startup_bench" "$BUILD_DIR/benchmarks/startup_probe" "$@"
for bench in "$BUILD_DIR"/benchmarks/bench_*; do
    [ -x "$bench" ] || continue
    echo
    echo "== $(basename "$bench")"
    QT_QPA_PLATFORM=offscreen "$bench" "$@"
done
