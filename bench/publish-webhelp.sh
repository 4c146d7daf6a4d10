#!/bin/sh
# WebHelp publish of synthetic projects (about 6 KB a topic: tokens, links,
# images, tables, inline styles) beside two yardsticks, each run 5 times,
# interleaved, on tmpfs; prints medians of wall time, CPU time (user + system)
# and peak memory:
#   quillmate  quillmate-cli publish --format webhelp
#   hugo       the same pages built by hugo with a minimal layout (when installed)
#   copy       cp -r of our published site: reading and writing the same files
#              and bytes, the floor for any publisher
#   bench/publish-webhelp.sh build/release [N ...]     (default: 1000 10000 50000)
set -eu
build=${1:?usage: bench/publish-webhelp.sh BUILD_DIR [N ...]}
shift
[ $# -gt 0 ] || set -- 1000 10000 50000
runs=${RUNS:-5}
base=/dev/shm
[ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
work=$(mktemp -d "$base/qm-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
cli="$build/bin/quillmate-cli"
havehugo=0
command -v hugo > /dev/null 2>&1 && havehugo=1

# One measured run: appends "wall cpu kib" to the file named first.
measure() {
    out=$1
    shift
    /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@" > /dev/null 2>&1
    awk '{ printf "%.3f %.3f %d\n", $1, $2 + $3, $4 }' "$work/time" >> "$out"
}

# Median of column $2 of file $1.
median() {
    sort -g -k "$2" "$1" | awk -v c="$2" '{ v[NR] = $c } END { print v[int((NR + 1) / 2)] }'
}

echo "machine: $(nproc) cores, $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)," \
     "load average $(cut -d' ' -f1-3 /proc/loadavg) at start; $runs runs each, medians"
printf '%-8s %-10s %9s %9s %10s\n' topics tool wall_s cpu_s peak_MB
for n in "$@"; do
    proj="$work/p$n"
    "$build/bin/qm-generate-project" "$n" "$proj" > /dev/null
    hff="$proj/Bench.hff"
    "$cli" publish "$hff" --format webhelp --out "$work/site" > /dev/null
    if [ "$havehugo" = 1 ]; then
        site="$work/hugo$n"
        mkdir -p "$site/content" "$site/layouts/_default"
        printf 'baseURL = "/"\ndisableKinds = ["taxonomy", "term", "RSS", "sitemap"]\n' \
            > "$site/hugo.toml"
        printf '<!doctype html><html><head><meta charset="utf-8"><link rel="stylesheet" href="/style.css"></head><body><div>{{ .Title }}</div><div>{{ .Content }}</div></body></html>' \
            > "$site/layouts/_default/single.html"
        printf '{{ range .Pages }}<a href="{{ .RelPermalink }}">{{ .Title }}</a>{{ end }}' \
            > "$site/layouts/_default/list.html"
        for f in "$proj"/Bench/topics/*.html; do
            id=$(basename "$f" .html)
            { printf -- '---\ntitle: "%s"\n---\n' "$id"; cat "$f"; } > "$site/content/$id.html"
        done
        hugo --source "$site" --quiet --destination "$work/hugo-out" > /dev/null 2>&1 || true
    fi
    rm -f "$work"/r.*
    for run in $(seq "$runs"); do
        rm -rf "$work/site"
        measure "$work/r.quillmate" "$cli" publish "$hff" --format webhelp --out "$work/site"
        if [ "$havehugo" = 1 ]; then
            rm -rf "$work/hugo-out"
            measure "$work/r.hugo" hugo --source "$site" --quiet --destination "$work/hugo-out"
        fi
        rm -rf "$work/copy"
        measure "$work/r.copy" cp -r "$work/site" "$work/copy"
    done
    for tool in quillmate hugo copy; do
        [ -f "$work/r.$tool" ] || continue
        printf '%-8s %-10s %9s %9s %10s\n' "$n" "$tool" "$(median "$work/r.$tool" 1)" \
            "$(median "$work/r.$tool" 2)" "$(($(median "$work/r.$tool" 3) / 1024))"
    done
    rm -rf "$proj" "$work/hugo$n" "$work/hugo-out" "$work/site" "$work/copy"
done
