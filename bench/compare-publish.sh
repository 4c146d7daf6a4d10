#!/bin/sh
# Compares what two builds write for the same varied synthetic project: the
# WebHelp site, check-links --json and info, and with CHM=1 the CHM sources
# (the compiled help.chm itself is left out; chmcmd takes its time), with each
# side's WebHelp publish time. Prints the verdict when they agree, and the
# differences otherwise (exit 1).
#   bench/compare-publish.sh OLD_BIN_DIR NEW_BIN_DIR [N]
# A BIN_DIR is a build's bin folder with its share/ beside it, e.g. a copy
# of build/release made before a change: cp -r build/release/{bin,share} /tmp/old
set -eu
old=${1:?usage: bench/compare-publish.sh OLD_BIN_DIR NEW_BIN_DIR [N]}
new=${2:?usage: bench/compare-publish.sh OLD_BIN_DIR NEW_BIN_DIR [N]}
n=${3:-1000}
work=$(mktemp -d "${TMPDIR:-/tmp}/qm-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$new/qm-generate-project" --varied "$n" "$work/gen" > /dev/null
# Both sides run on a fresh copy at the same path, so the paths they print agree.
for side in old new; do
    eval bin=\$$side
    rm -rf "$work/proj" "$work/out"
    cp -r "$work/gen" "$work/proj"
    hff="$work/proj/Bench.hff"
    mkdir -p "$work/out"
    # CPU seconds (user + system) beside wall time: on a busy machine the
    # wall time says little about the change.
    /usr/bin/time -f "%U %S %e" -o "$work/$side-time" \
        "$bin/quillmate-cli" publish "$hff" --format webhelp --out "$work/out/webhelp" \
        > "$work/out/publish-webhelp.txt" 2>&1 || true
    if [ "${CHM:-0}" = 1 ]; then
        "$bin/quillmate-cli" publish "$hff" --format chm --out "$work/out/chm" \
            > "$work/out/publish-chm.txt" 2>&1 || true
        rm -f "$work/out/chm/help.chm"
    fi
    "$bin/quillmate-cli" check-links "$hff" --json > "$work/out/check-links.json" 2>&1 || true
    "$bin/quillmate-cli" info "$hff" > "$work/out/info.txt" 2>&1 || true
    mv "$work/out" "$work/$side"
done
for side in old new; do
    awk -v side="$side" '{ printf "%s webhelp publish: %.2f s CPU (user %.2f, system %.2f), %.2f s wall\n", side, $1 + $2, $1, $2, $3 }' "$work/$side-time"
done
if diff -r "$work/old" "$work/new" > "$work/diff.txt"; then
    echo "same output: $(ls "$work/new" | tr '\n' ' ')($n topics)"
else
    diff -rq "$work/old" "$work/new" | head -20
    head -c 4000 "$work/diff.txt"
    exit 1
fi
