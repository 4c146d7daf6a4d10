#!/bin/sh
# Times `quillmate-cli publish --format webhelp` on a synthetic project of N
# topics (about 6 KB each, tokens, links, images, tables, inline styles) and
# reports wall time and peak memory. With hugo installed it also builds the
# same pages with it, as the yardstick of a mainstream static site generator.
#   bench/publish-webhelp.sh build/release 10000
set -eu
build=${1:?usage: bench/publish-webhelp.sh BUILD_DIR N}
n=${2:-10000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bin/qm-generate-project" "$n" "$work" > /dev/null
cli="$build/bin/quillmate-cli"
# One warm-up run fills the page cache, so the timed runs measure the work.
"$cli" publish "$work/Bench.hff" --format webhelp > /dev/null
for run in 1 2 3; do
    /usr/bin/time -f "quillmate webhelp N=$n run $run: %e s wall, %M KiB peak" \
        "$cli" publish "$work/Bench.hff" --format webhelp > /dev/null
done

if command -v hugo > /dev/null 2>&1; then
    site="$work/hugo"
    mkdir -p "$site/content" "$site/layouts/_default"
    printf 'baseURL = "/"\ndisableKinds = ["taxonomy", "term", "RSS", "sitemap"]\n' > "$site/hugo.toml"
    printf '<!doctype html><html><head><meta charset="utf-8"><link rel="stylesheet" href="/style.css"></head><body><div>{{ .Title }}</div><div>{{ .Content }}</div></body></html>' \
        > "$site/layouts/_default/single.html"
    printf '{{ range .Pages }}<a href="{{ .RelPermalink }}">{{ .Title }}</a>{{ end }}' \
        > "$site/layouts/_default/list.html"
    for f in "$work"/Bench/topics/*.html; do
        id=$(basename "$f" .html)
        { printf -- '---\ntitle: "%s"\n---\n' "$id"; cat "$f"; } > "$site/content/$id.html"
    done
    hugo --source "$site" --quiet > /dev/null 2>&1 || true
    for run in 1 2 3; do
        /usr/bin/time -f "hugo same pages N=$n run $run: %e s wall, %M KiB peak" \
            hugo --source "$site" --quiet --destination "$work/hugo-out" > /dev/null
    done
fi
