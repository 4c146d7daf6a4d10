#!/bin/bash
# Usage: WriteFailure.sh CLI SAMPLE FORMAT CASE
#
# Publishes a copy of the sample project into a folder that cannot take the
# output and checks that the message gives the system's real reason:
#   read-only-folder  the output folder exists and cannot be written
#   read-only-parent  the output folder is missing and cannot be created
#   full-disk         the output folder is a file system with no room left
# Exits 77 (skipped) where the case cannot be set up.
set -u
cli=$1 sample=$2 format=$3 case=$4

work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
chmod 755 "$work"
cp -r "$sample" "$work/project"
run=("$cli" publish "$work/project/Sample.hff" --format "$format")

# Permissions do not bind root: the tool then runs as nobody.
as_user=()
if [ "$(id -u)" = 0 ]; then
    command -v setpriv >/dev/null || exit 77
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
fi

case $case in
read-only-folder)
    mkdir "$work/out"
    chmod 555 "$work/out"
    reason="Permission denied"
    output=$("${as_user[@]}" "${run[@]}" --out "$work/out" 2>&1)
    ;;
read-only-parent)
    mkdir "$work/locked"
    chmod 555 "$work/locked"
    reason="Permission denied"
    output=$("${as_user[@]}" "${run[@]}" --out "$work/locked/out" 2>&1)
    ;;
full-disk)
    # A tiny file system of its own in a private mount namespace, filled
    # by one page larger than it.
    page=$(ls "$work/project/Sample/topics/"*.html | head -n 1)
    head -c 2000000 /dev/zero | tr '\0' 'x' >"$page"
    mkdir "$work/out"
    unshare -m true 2>/dev/null || exit 77
    reason="disk full"
    output=$(unshare -m bash -c 'mount -t tmpfs -o size=512k tmpfs "$1" || exit 77; shift; exec "$@"' \
        _ "$work/out" "${run[@]}" --out "$work/out" 2>&1)
    ;;
esac
code=$?
[ "$code" = 77 ] && exit 77
echo "exit $code: $output"
[ "$code" = 1 ] || { echo "FAIL: exit code $code, expected 1"; exit 1; }
case $output in
*"$reason"*) ;;
*) echo "FAIL: the message does not say \"$reason\""; exit 1 ;;
esac
