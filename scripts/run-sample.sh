#!/bin/sh
# Runs the program on the sample project. The program prepares and edits the
# project it opens, so it works on a copy in the build folder and the sample
# in the repository stays as committed.
set -eu
BUILD_DIR=${1:-build/dev}
WORK="$BUILD_DIR/sample"
if [ ! -f "$WORK/Sample.hff" ]; then
    mkdir -p "$WORK"
    cp -R examples/sample/. "$WORK/"
fi
SAMPLE="$WORK/Sample.hff"
if [ -x "$BUILD_DIR/bin/quillmate" ]; then
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
        echo "No display found: the desktop program needs one. Run it under a virtual display:" >&2
        echo "  xvfb-run -a $BUILD_DIR/bin/quillmate $SAMPLE" >&2
        echo "or use the command-line tool: $BUILD_DIR/bin/quillmate-cli info $SAMPLE" >&2
        exit 1
    fi
    exec "$BUILD_DIR/bin/quillmate" "$SAMPLE"
fi
exec "$BUILD_DIR/bin/quillmate-cli" info "$SAMPLE"
