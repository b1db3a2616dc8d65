#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need and this machine lacks.
set -euo pipefail

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
want() { # want <package> <test command...>
    local package=$1
    shift
    "$@" >/dev/null 2>&1 || need+=("$package")
}

want cmake have_cmd cmake
want ninja-build have_cmd ninja
want g++ have_cmd g++
want googletest test -f /usr/src/googletest/CMakeLists.txt
want g++-mingw-w64-x86-64-posix have_cmd x86_64-w64-mingw32-g++-posix
want binutils-mingw-w64-x86-64 have_cmd x86_64-w64-mingw32-windres
want wine64 have_cmd wine64
want wine have_cmd wine
want xvfb have_cmd Xvfb
want fonts-wqy-microhei test -f /usr/share/fonts/truetype/wqy/wqy-microhei.ttc
want imagemagick have_cmd import
want xdotool have_cmd xdotool

if [ ${#need[@]} -eq 0 ]; then
    echo "==> Everything needed is installed."
    exit 0
fi

echo "==> Installing missing packages: ${need[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "Installing packages needs root: run this command as root (or install the packages above)." >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
echo "==> Installed."
