#!/bin/sh
# Builds the Debian package from this build tree as `make package` does and
# holds it to what apt and Debian expect: dependencies worked out from the
# linked libraries, the helper programs named, and no lintian errors.
# Usage: PackageLint.sh BUILD_DIR WORK_DIR APP(ON|OFF)
set -eu
BUILD=$1
WORK=$2
APP=$3
rm -rf "$WORK"
mkdir -p "$WORK"
if ! (cd "$BUILD" && cpack -G DEB -B "$WORK") >"$WORK/cpack.log" 2>&1; then
    cat "$WORK/cpack.log"
    exit 1
fi
deb=$(ls "$WORK"/quillmate_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
want="libc6 libstdc++6 libpcre2-8-0 libjpeg62-turbo"
[ "$APP" = ON ] && want="$want libqt6widgets6 libqt6webenginewidgets6 libqt6webenginecore6-bin"
for lib in $want; do
    case ", $depends" in
    *", $lib "* | *", $lib,"* | *", $lib") ;;
    *) echo "Depends lacks $lib: $depends"; exit 1 ;;
    esac
done
case "$(dpkg-deb -f "$deb" Recommends)" in
*chromium*) ;;
*) echo "chromium (PDF) is not recommended"; exit 1 ;;
esac
case "$(dpkg-deb -f "$deb" Suggests)" in
*fp-utils*) ;;
*) echo "fp-utils (CHM) is not suggested"; exit 1 ;;
esac
# Errors fail; warnings and notes are printed for whoever reads the log.
lintian --fail-on error --tag-display-limit 0 "$deb"
