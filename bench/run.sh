#!/bin/sh
# Runs every benchmark of a build tree:
#   bench/run.sh build/release [Google Benchmark options...]
# Benchmarks are the executables named qm-bench-* in the tree's bin folder.
set -eu
build=${1:?usage: bench/run.sh BUILD_DIR [benchmark options]}
shift
found=0
for exe in "$build"/bin/qm-bench-*; do
    [ -x "$exe" ] || continue
    found=1
    echo "== $(basename "$exe")"
    "$exe" "$@"
done
if [ "$found" -eq 0 ]; then
    echo "no benchmarks in $build/bin (configure with -DQUILLMATE_BUILD_BENCH=ON, or the release preset)" >&2
    exit 1
fi
