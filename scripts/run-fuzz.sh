#!/bin/sh
# Runs every fuzz target of a fuzz build for SECONDS each, one after the
# other: scripts/run-fuzz.sh BUILD_DIR [SECONDS]. Each target starts from its
# seed corpus in fuzz/corpus/<name> and keeps what it finds in
# BUILD_DIR/corpus/<name>; a crash leaves its input in BUILD_DIR/artifacts and
# fails the script after all targets have run.
set -u
build=${1:?usage: run-fuzz.sh BUILD_DIR [SECONDS]}
seconds=${2:-60}
here=$(cd "$(dirname "$0")/.." && pwd)
failed=""
count=0
for fuzzer in "$build"/bin/fuzz_*; do
    [ -x "$fuzzer" ] || continue
    name=$(basename "$fuzzer" | sed 's/^fuzz_//')
    mkdir -p "$build/corpus/$name" "$build/artifacts"
    echo "== fuzz $name for ${seconds}s"
    # One process, at low priority, so a shared machine stays usable; a run
    # longer than 10 s on one input counts as a hang.
    if ! nice -n 10 "$fuzzer" -max_total_time="$seconds" -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$build/artifacts/$name-" \
        "$build/corpus/$name" "$here/fuzz/corpus/$name" >"$build/artifacts/$name.log" 2>&1; then
        failed="$failed $name"
        tail -n 40 "$build/artifacts/$name.log"
    fi
    grep -E '^stat::number_of_executed_units|^stat::average_exec_per_sec' \
        "$build/artifacts/$name.log" | tr '\n' ' '
    echo
    count=$((count + 1))
done
if [ "$count" -eq 0 ]; then
    echo "no fuzz targets in $build/bin"
    exit 1
fi
if [ -n "$failed" ]; then
    echo "fuzzing: $count targets, failed:$failed (inputs in $build/artifacts)"
    exit 1
fi
echo "fuzzing: $count targets, no findings"
