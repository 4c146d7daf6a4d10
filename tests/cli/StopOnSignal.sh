#!/bin/bash
# Usage: StopOnSignal.sh CLI SAMPLE FORMAT SIGNAL EXPECTED_EXIT
#
# Publishes a copy of the sample project made slow by one large page, sends
# SIGNAL to quillmate-cli once the outside program (chmcmd for chm, the
# browser for pdf) runs, and checks the exit code, that a cancel says so,
# and that nothing of the outside program outlives the tool.
set -u
cli=$1 sample=$2 format=$3 signal=$4 expected=$5

work=$(mktemp -d)
child=""
group=""
cleanup() {
    # Whatever a faulty build left running must not outlive the test.
    [ -n "$child" ] && kill -KILL "$child" 2>/dev/null
    [ -n "$group" ] && kill -KILL -- "-$group" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    echo "--- quillmate-cli said:"
    cat "$work/log"
    exit 1
}

cp -r "$sample" "$work/project"
page=$(ls "$work/project/Sample/topics/"*.html | head -n 1)
# Several seconds for either program, so the signal finds it at work.
awk 'BEGIN { for (i = 0; i < 100000; i++) printf "<p>word%d lorem ipsum %d dolor</p>\n", i, i * 7 }' >"$page"

# Job control gives the background job the signal dispositions a terminal
# would: without it SIGINT is ignored in a background job of a script.
set -m
"$cli" publish "$work/project/Sample.hff" --format "$format" --out "$work/out" >"$work/log" 2>&1 &
tool=$!

# Field 4 of /proc/PID/stat is the parent, field 5 the process group; the
# name in field 2 holds no spaces for these programs.
stat_field() { awk -v n="$2" '{ print $n }' "/proc/$1/stat" 2>/dev/null; }
alive() { # a zombie has ended; only its parent's wait is missing
    local state
    state=$(stat_field "$1" 3)
    [ -n "$state" ] && [ "$state" != Z ]
}

case $format in
chm) program=chmcmd ;;
pdf) program=chromium ;;
esac
for _ in $(seq 1 1200); do
    for s in /proc/[0-9]*/stat; do
        pid=${s#/proc/}
        pid=${pid%/stat}
        if [ "$(stat_field "$pid" 4)" = "$tool" ] && grep -q "^$program" "/proc/$pid/comm" 2>/dev/null; then
            child=$pid
            break 2
        fi
    done
    kill -0 "$tool" 2>/dev/null || fail "the tool ended before $program started"
    sleep 0.05
done
[ -n "$child" ] || fail "$program did not start within a minute"
group=$(stat_field "$child" 5)

kill "-$signal" "$tool"
wait "$tool"
code=$?
[ "$code" = "$expected" ] || fail "exit code $code after SIG$signal, expected $expected"
if [ "$signal" != KILL ]; then
    grep -q "cancelled" "$work/log" || fail "no word of the cancel"
fi

# Killed with the tool, the programs may take a moment to go; the helpers
# of a browser follow the browser.
for _ in $(seq 1 20); do
    left=""
    for s in /proc/[0-9]*/stat; do
        pid=${s#/proc/}
        pid=${pid%/stat}
        if { [ "$pid" = "$child" ] || [ "$(stat_field "$pid" 5)" = "$group" ]; } && alive "$pid"; then
            left="$left $pid"
        fi
    done
    [ -z "$left" ] && break
    sleep 0.1
done
[ -z "$left" ] || fail "still running after the tool ended:$(ps -o pid=,comm= -p "${left# }" | tr '\n' ' ')"
echo "SIG$signal: exit $code, nothing of $program left"
