#!/usr/bin/env bash
# Checks that a release zip holds what its source builds: rebuilds the package unsigned from a checkout of the
# release's commit and compares every file in the two zips.
#
#   bash scripts/verify-release.sh <release zip> [<checkout of its commit>]     (default: this script's checkout)
#   bash scripts/verify-release.sh --rebuilt <zip of an unsigned rebuild> <release zip>
#
# An unsigned release must match byte for byte. A signed Velstrand.exe cannot: it is compared with its signature
# removed (osslsigncode remove-signature), which gives back the unsigned image but for the PE checksum field and the
# zero bytes that pad the image to the signature's 8-byte alignment; both are masked. Its line in SHA256SUMS.txt is
# checked against the release's own exe instead. The rebuild goes to <checkout>/build/verify-release.
set -euo pipefail

usage() {
    sed -n '5,6p' "$0" | sed 's/^#  //' >&2
    exit 2
}

rebuilt=""
if [ "${1:-}" = "--rebuilt" ]; then
    [ $# -eq 3 ] || usage
    rebuilt=$(realpath "$2")
    release=$(realpath "$3")
else
    [ $# -ge 1 ] && [ $# -le 2 ] || usage
    release=$(realpath "$1")
    checkout=$(realpath "${2:-$(dirname "$0")/..}")
fi
[ -f "$release" ] || { echo "no release zip at $release" >&2; exit 2; }

if [ -z "$rebuilt" ]; then
    echo "==> Rebuilding $(git -C "$checkout" rev-parse HEAD 2>/dev/null || echo "$checkout") unsigned"
    if [ -n "$(git -C "$checkout" status --porcelain 2>/dev/null)" ]; then
        echo "    (the checkout has changes that are not committed: the rebuild includes them)"
    fi
    build=$checkout/build/verify-release
    (cd "$checkout" && cmake --preset windows -B "$build" -DVELSTRAND_SIGNING_PKCS12= >/dev/null)
    cmake --build "$build" --target package >/dev/null
    rebuilt=$(ls "$build"/Velstrand-*-win64.zip)
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/release" "$work/rebuilt"
(cd "$work/release" && cmake -E tar xf "$release")
(cd "$work/rebuilt" && cmake -E tar xf "$rebuilt")

# Little-endian unsigned numbers at a byte offset, and four bytes overwritten with zeros.
u16() { od -An -tu2 -j"$2" -N2 "$1" | tr -d ' '; }
u32() { od -An -tu4 -j"$2" -N4 "$1" | tr -d ' '; }
zero4() { printf '\0\0\0\0' | dd of="$1" bs=1 seek="$2" conv=notrunc status=none; }

# Leaves in $2 the release's exe $1 as the unsigned image it was made from, and in $4 the rebuilt exe $3 with the
# same fields masked.
unsigned_image() {
    local exe=$1 out=$2 reference=$4 pe
    cp "$3" "$reference"
    pe=$(u32 "$exe" 60)
    if [ "$(u16 "$exe" $((pe + 24)))" != 523 ]; then
        echo "$exe is no 64-bit PE image" >&2
        return 1
    fi
    # The certificate table is the fifth data directory of the PE32+ optional header.
    if [ "$(u32 "$exe" $((pe + 24 + 112 + 4 * 8 + 4)))" = 0 ]; then
        cp "$exe" "$out"
        return 0
    fi
    echo "    Velstrand.exe is signed: compared without its signature, PE checksum and padding"
    osslsigncode remove-signature -in "$exe" -out "$out" >/dev/null
    zero4 "$out" $((pe + 88))
    zero4 "$reference" $((pe + 88))
    local size padding
    size=$(stat -c %s "$reference")
    padding=$(($(stat -c %s "$out") - size))
    if [ "$padding" -ge 0 ] && [ "$padding" -lt 8 ] &&
        ! tail -c +$((size + 1)) "$out" | od -An -tx1 | grep -q '[1-9a-f]'; then
        truncate -s "$size" "$out"
    fi
}

status=0
differs() {
    echo "    DIFFERENT: $1"
    status=1
}

release_files=$(cd "$work/release" && find . -type f -printf '%P\n' | sort)
rebuilt_files=$(cd "$work/rebuilt" && find . -type f -printf '%P\n' | sort)
if [ "$release_files" != "$rebuilt_files" ]; then
    differs "the files in the zips: release [$(echo $release_files)], rebuild [$(echo $rebuilt_files)]"
fi

echo "==> Comparing $(basename "$release") with the rebuild"
while IFS= read -r name; do
    [ -f "$work/rebuilt/$name" ] || continue
    case "$name" in
    Velstrand.exe)
        if unsigned_image "$work/release/$name" "$work/release.exe" "$work/rebuilt/$name" "$work/rebuilt.exe" &&
            cmp -s "$work/release.exe" "$work/rebuilt.exe"; then
            echo "    same: $name"
        else
            differs "$name"
        fi
        ;;
    SHA256SUMS.txt)
        if (cd "$work/release" && sha256sum --quiet --strict -c SHA256SUMS.txt) &&
            cmp -s <(grep -v '  Velstrand\.exe.$' "$work/release/$name") \
                <(grep -v '  Velstrand\.exe.$' "$work/rebuilt/$name"); then
            echo "    same: $name (the release's own sums hold, the exe's for the exe in the release)"
        else
            differs "$name"
        fi
        ;;
    *)
        if cmp -s "$work/release/$name" "$work/rebuilt/$name"; then
            echo "    same: $name"
        else
            differs "$name"
        fi
        ;;
    esac
done <<<"$release_files"

if [ "$status" = 0 ]; then
    cmp -s "$release" "$rebuilt" && echo "    The two zips are identical byte for byte."
    echo "==> The release matches its source."
else
    echo "==> The release does NOT match its source." >&2
fi
exit $status
