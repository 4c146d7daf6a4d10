#!/bin/sh
# Runs the program on the sample project.
set -eu
BUILD_DIR=${1:-build/dev}
SAMPLE=examples/sample/Sample.hff
if [ -x "$BUILD_DIR/bin/quillmate" ]; then
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
        echo "No display found. Run the program under a virtual display, for example:" >&2
        echo "  xvfb-run -a $BUILD_DIR/bin/quillmate $SAMPLE" >&2
        exit 1
    fi
    exec "$BUILD_DIR/bin/quillmate" "$SAMPLE"
fi
# Until the desktop program is built, show what the command-line tool sees.
exec "$BUILD_DIR/bin/quillmate-cli" info "$SAMPLE"
