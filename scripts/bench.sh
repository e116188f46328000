#!/bin/sh
# Runs every benchmark program: the start-up benchmark, then each bench_* program of the build.
# A data folder given as the first argument is passed on to the programs that take one. Every
# program runs to its end; the script ends non-zero, naming them, when any failed.
set -u
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
failed=""
"$BUILD_DIR/benchmarks/startup_bench" "$BUILD_DIR/benchmarks/startup_probe" "$@" || failed="$failed startup_bench"
for bench in "$BUILD_DIR"/benchmarks/bench_*; do
    # Only the programs: the build keeps folders of generated sources under the same names.
    [ -f "$bench" ] && [ -x "$bench" ] || continue
    echo
    echo "== $(basename "$bench")"
    QT_QPA_PLATFORM=offscreen "$bench" "$@" || failed="$failed $(basename "$bench")"
done
if [ -n "$failed" ]; then
    echo
    echo "benchmarks that failed:$failed" >&2
    exit 1
fi
