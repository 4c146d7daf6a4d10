#!/bin/sh
# quillmate-cli against a project that other runs write at the same time, and
# against pages that name files outside their folder. Every case works in a
# fresh copy of the sample project in a temporary folder.
#   ImportSafety.sh CLI SAMPLE_DIR concurrent|locked|refused
set -eu
cli=$1
sample=$2
case_name=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -R "$sample" "$work/p"
project=$work/p/Sample.hff
data=$work/p/Sample
topic=44E35634D392EE27CA793791FD4CF5CA
page=$data/topics/$topic.html

fail() {
    echo "FAIL: $*"
    exit 1
}

# A page with images, so that an import takes a while; every page names its
# images alike, so two runs at once also compete for the names in assets.
make_page() { # folder marker
    mkdir -p "$1"
    body="<p>$2</p>"
    for n in $(seq 1 40); do
        head -c 20000 /dev/urandom >"$1/img$n.png"
        body="$body<img src=\"img$n.png\">"
    done
    printf '<html><body>%s</body></html>' "$body" >"$1/page.html"
}

case $case_name in
concurrent)
    # Both runs choose free names in assets, then read the topic's page, add
    # their part and write it back; the lock keeps one from taking the
    # other's names or writing over the other's result.
    for round in 1 2 3 4 5; do
        make_page "$work/a$round" "first-$round"
        make_page "$work/b$round" "second-$round"
        "$cli" import "$project" --topic "$topic" "$work/a$round/page.html" >"$work/a.log" 2>&1 &
        first=$!
        "$cli" import "$project" --topic "$topic" "$work/b$round/page.html" >"$work/b.log" 2>&1 &
        second=$!
        wait "$first" || fail "the first import of round $round failed: $(cat "$work/a.log")"
        wait "$second" || fail "the second import of round $round failed: $(cat "$work/b.log")"
        grep -q "first-$round" "$page" || fail "round $round lost the first import"
        grep -q "second-$round" "$page" || fail "round $round lost the second import"
    done
    ;;
locked)
    # Another program holds the project (flock(1) on the lock file stands in
    # for the desktop program): write commands wait, then give up.
    make_page "$work/a" "never"
    lock=$data/.quillmate.lock
    : >"$lock"
    flock "$lock" sh -c "touch '$work/held'; while [ ! -e '$work/done' ]; do sleep 0.1; done" &
    holder=$!
    while [ ! -e "$work/held" ]; do sleep 0.05; done
    for command in "import $project --topic $topic $work/a/page.html" \
        "publish $project --format webhelp"; do
        status=0
        # shellcheck disable=SC2086 # the command's words are meant to split
        "$cli" $command >"$work/out" 2>"$work/err" || status=$?
        [ "$status" -eq 1 ] || fail "$command: exit code $status, expected 1"
        grep -qF "project in use: $data" "$work/err" || fail "$command: $(cat "$work/err")"
    done
    touch "$work/done"
    wait "$holder"
    grep -q never "$page" && fail "the import wrote the held project"
    [ -e "$data/build/webhelp" ] && fail "the publish wrote the held project"
    # Let go, the same commands run.
    "$cli" import "$project" --topic "$topic" "$work/a/page.html" >/dev/null ||
        fail "import after the lock was released"
    ;;
refused)
    # References out of the page's folder stay and are reported; the page
    # imports all the same (exit 0). --asset-root lets the author widen it.
    mkdir -p "$work/site/page"
    printf 'outside' >"$work/site/shared.png"
    printf 'inside' >"$work/site/page/ok.png"
    ln -s /etc/passwd "$work/site/page/passwd.png"
    escaped=$(printf '%%2e%%2e/%.0s' $(seq 1 30))etc/hostname # climbs to / from any depth
    printf '<html><body><img src="ok.png"><img src="../shared.png"><img src="passwd.png">%s</body></html>' \
        "<img src=\"file:///etc/shadow\"><img src=\"$escaped\">" >"$work/site/page/index.html"
    "$cli" import "$project" --topic "$topic" "$work/site/page/index.html" >"$work/out" 2>"$work/err" ||
        fail "exit code $?: $(cat "$work/err")"
    for ref in ../shared.png passwd.png file:///etc/shadow "$escaped"; do
        grep -qxF "warning: not imported (outside the page's folder): $ref" "$work/err" ||
            fail "no warning for $ref: $(cat "$work/err")"
    done
    [ "$(cat "$data/assets/images/ok.png")" = inside ] || fail "the page's own image was not copied"
    grep -rqF root: "$data/assets" && fail "/etc/passwd was copied"
    [ -e "$data/assets/images/shared.png" ] && fail "the outside image was copied"
    "$cli" import "$project" --topic "$topic" --asset-root "$work/site" \
        "$work/site/page/index.html" >"$work/out" 2>"$work/err" || fail "with --asset-root: $(cat "$work/err")"
    grep -qF "../shared.png" "$work/err" && fail "--asset-root still refused ../shared.png"
    [ "$(cat "$data/assets/images/shared.png")" = outside ] || fail "--asset-root did not copy"
    grep -qxF "warning: not imported (outside the page's folder): passwd.png" "$work/err" ||
        fail "--asset-root let the link out: $(cat "$work/err")"
    ;;
*)
    fail "unknown case $case_name"
    ;;
esac
echo ok
