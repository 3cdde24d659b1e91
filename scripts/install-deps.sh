#!/bin/sh
# Installs every Debian package that Lexordo needs to build, test and run.
# Only packages that are missing are installed; nothing comes from outside Debian.
set -e

PACKAGES="
build-essential
cmake
pkg-config
qt6-base-dev
qt6-base-dev-tools
qt6-qpa-plugins
libqt6sql6-sqlite
qt6-webengine-dev
libgl-dev
unixodbc
unixodbc-dev
odbcinst
libsqliteodbc
libpq-dev
postgresql
postgresql-contrib
odbc-postgresql
libssl-dev
sqlite3
libbenchmark-dev
poppler-utils
libpoppler-qt6-dev
xvfb
openbox
x11-apps
imagemagick
fonts-liberation2
fonts-dejavu-core
libical-dev
calcurse
appstream
desktop-file-utils
dpkg-dev
fonts-noto-core
ccache
"

# `install-deps.sh --fuzz` (make fuzz) adds clang and its fuzzing and
# sanitizer runtime; `--tools` (make tidy, make format) adds clang-tidy and
# clang-format. The ordinary build needs neither.
case "${1:-}" in
--fuzz)
    PACKAGES="$PACKAGES
clang
libclang-rt-14-dev
"
    ;;
--tools)
    PACKAGES="$PACKAGES
clang-tidy
clang-format
"
    ;;
esac

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

if [ -z "$missing" ]; then
    exit 0
fi

echo "Installing:$missing"
SUDO=""
if [ "$(id -u)" != "0" ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing
