#!/bin/sh
# The desktop program on a large project: start to a usable contents tree,
# start to a ready editor, and topic switches (click to the page showing the
# new topic), under a virtual X display.
#
#   bench/desktop.sh [-n TOPICS] [-r RUNS] [-s SWITCHES] [-b BASE_REV] [BUILD_DIR]
#
# BUILD_DIR (default build/release) must hold qm-desktop-bench and
# qm-generate-project. With -b, the same benchmark is also built from the
# sources of BASE_REV (git archive into a temporary folder) and both are run
# in turns, so the two columns share the machine's load. Prints every run and
# the medians.
set -eu
topics=10000 runs=5 switches=15 base=
while getopts n:r:s:b: opt; do
    case $opt in
    n) topics=$OPTARG ;;
    r) runs=$OPTARG ;;
    s) switches=$OPTARG ;;
    b) base=$OPTARG ;;
    *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build/release}" && pwd)
for exe in qm-desktop-bench qm-generate-project; do
    [ -x "$build/bin/$exe" ] || { echo "no $exe in $build/bin (cmake --preset release)" >&2; exit 1; }
done
command -v xvfb-run > /dev/null || { echo "xvfb-run is missing (apt-get install xvfb)" >&2; exit 1; }

work=$(mktemp -d /tmp/qm-desktop-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
"$build/bin/qm-generate-project" --varied "$topics" "$work/project" > /dev/null

benches="new=$build/bin/qm-desktop-bench"
if [ -n "$base" ]; then
    mkdir -p "$work/base"
    git -C "$here" archive "$base" | tar -x -C "$work/base"
    # The benchmark itself comes from this tree; the program is the old one.
    cp "$here/bench/DesktopBench.cpp" "$here/bench/CMakeLists.txt" "$work/base/bench/"
    cmake -S "$work/base" -B "$work/base/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DQUILLMATE_BUILD_BENCH=ON -DQUILLMATE_BUILD_TESTS=OFF > "$work/base-build.log" 2>&1
    cmake --build "$work/base/build" -j2 --target qm-desktop-bench >> "$work/base-build.log" 2>&1 ||
        { tail -20 "$work/base-build.log" >&2; exit 1; }
    benches="base=$work/base/build/bin/qm-desktop-bench $benches"
fi

# Each program edits its own copy (opening writes the editor page and
# headers into the project), and one run first warms the disk cache.
for b in $benches; do
    name=${b%%=*}
    cp -a "$work/project" "$work/project-$name"
    xvfb-run -a -s "-screen 0 1400x900x24" env QT_QPA_PLATFORM=xcb "${b#*=}" \
        "$work/project-$name/Bench.hff" 2 > /dev/null 2>&1 || true
done

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "topics: $topics, runs: $runs, switches per run: $switches, load before: $(cut -d' ' -f1-3 /proc/loadavg)"
i=0
while [ "$i" -lt "$runs" ]; do
    i=$((i + 1))
    for b in $benches; do
        name=${b%%=*}
        out=$(xvfb-run -a -s "-screen 0 1400x900x24" env QT_QPA_PLATFORM=xcb "${b#*=}" \
            "$work/project-$name/Bench.hff" "$switches" 2> "$work/$name.err") ||
            { tail -5 "$work/$name.err" >&2; exit 1; }
        echo "$out" | awk -v n="$name" -v r="$i" '
            /^tree-usable-ms/ { t = $2 } /^editor-ready-ms/ { e = $2 } /^switch-ms/ { s = $3 }
            END { printf "%-5s run %d: tree usable %5d ms, editor ready %5d ms, switch median %6.1f ms\n", n, r, t, e, s }' |
            tee -a "$work/results"
    done
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "medians over $runs runs:"
for b in $benches; do
    name=${b%%=*}
    for col in 6 10 14; do
        grep "^$name " "$work/results" | awk -v c="$col" '{ print $c }' | sort -n |
            awk '{ v[NR] = $1 } END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%s ", m }'
    done | awk -v n="$name" '{ printf "%-5s tree usable %5d ms, editor ready %5d ms, switch %6.1f ms\n", n, $1, $2, $3 }'
done
