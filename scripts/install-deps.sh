#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need and this machine lacks.
set -euo pipefail

need=()
for package in cmake ninja-build g++ googletest g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 wine \
    xvfb fonts-wqy-microhei fonts-wine locales imagemagick clang-format clang-tidy; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || need+=("$package")
done
# The download: its zip (Python's zipfile), signing it and checking signatures (osslsigncode, openssl).
for package in python3 osslsigncode openssl; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || need+=("$package")
done

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
