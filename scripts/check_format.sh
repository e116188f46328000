#!/bin/sh
# Checks that every C++ file of the project is laid out as .clang-format says.
# With --fix it rewrites the files instead (`make format`).
set -eu
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null 2>&1 || { echo "clang-format is not installed (scripts/setup.sh installs it)" >&2; exit 1; }
files=$(git ls-files -- '*.cpp' '*.h' 2>/dev/null || find src tests benchmarks tools -name '*.cpp' -o -name '*.h')
if [ "${1:-}" = "--fix" ]; then
    # shellcheck disable=SC2086
    clang-format -i $files
    exit 0
fi
bad=""
for f in $files; do
    clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || bad="$bad $f"
done
if [ -n "$bad" ]; then
    echo "These files differ from .clang-format:$bad" >&2
    echo "Run 'make format' to rewrite them." >&2
    exit 1
fi
echo "format: every file follows .clang-format"
