#!/bin/sh
# Installs the Debian 12 packages the build, the tests and the program need,
# and only when something is missing, so repeated runs cost nothing. clang
# with its runtime libraries (libFuzzer) builds the fuzz targets, and
# clang-format checks the layout of the sources. rsvg-convert renders the
# icons; the validators and lintian check the desktop files and the package.
set -eu
PACKAGES="build-essential cmake ninja-build pkg-config git
libpcre2-dev nlohmann-json3-dev libjpeg62-turbo-dev libgtest-dev libgmock-dev libbenchmark-dev
fp-utils libchm-bin libchm-dev poppler-utils libpoppler-cpp-dev chromium locales
clang clang-format libclang-rt-dev
qt6-base-dev qt6-webengine-dev qt6-webchannel-dev qt6-svg-dev libqt6webenginecore6-bin libgl-dev
qt6-translations-l10n qt6-webengine-dev-tools
hunspell-en-us hunspell-de-de hunspell-fr hunspell-es
xvfb xauth
python3 openssl
librsvg2-bin desktop-file-utils appstream shared-mime-info lintian file"
missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
# Node.js may come from elsewhere than Debian (with its own npm): ask for the
# commands, not the packages.
command -v node >/dev/null 2>&1 || missing="$missing nodejs"
command -v npm >/dev/null 2>&1 || missing="$missing npm"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
# The tests of number formatting run in a locale that writes decimal commas
# and fail when it is missing. Enabled in /etc/locale.gen rather than made
# with localedef alone, so that a later locale-gen keeps it.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\{0,1\}8'; then
    echo "Generating the locale de_DE.UTF-8"
    if grep -q '^# *de_DE\.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
        $SUDO sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    elif ! grep -q '^de_DE\.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
        echo "de_DE.UTF-8 UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
    fi
    $SUDO locale-gen
fi
