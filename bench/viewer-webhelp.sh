#!/bin/sh
# Publishes a synthetic help of N topics with the real command-line tool and
# measures its viewer from disk in headless Chromium (bench/viewer-webhelp.mjs):
# contents usable, first results, further keys, long tasks, script heap.
#   bench/viewer-webhelp.sh build/release 10000 [RUNS]
set -eu
build=${1:?usage: bench/viewer-webhelp.sh BUILD_DIR N [RUNS]}
n=${2:-10000}
runs=${3:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bin/qm-generate-project" "$n" "$work" > /dev/null
"$build/bin/quillmate-cli" publish "$work/Bench.hff" --format webhelp > /dev/null
site="$work/Bench/build/webhelp"
printf 'N=%s: search.js %s bytes; search/ %s files, dictionary %s bytes, largest shard %s bytes\n' "$n" \
    "$(wc -c < "$site/search.js")" "$(ls "$site/search" | wc -l)" "$(wc -c < "$site/search/index.js")" \
    "$(wc -c "$site"/search/*.js | sort -n | tail -2 | head -1 | awk "{print \$1}")"
node "$(dirname "$0")/viewer-webhelp.mjs" "$site" "$runs"
