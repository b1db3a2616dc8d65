#!/usr/bin/env bash
# Draws the program's icon (a white "V" with a spark on a blue tile) and writes src/app/velstrand.ico with the
# sizes Windows asks for, from 16 to 256 pixels. The .ico is committed; run this only to change the design.
set -euo pipefail
cd "$(dirname "$0")/.."

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

convert -size 256x256 xc:none \
    -fill '#1d5fa8' -draw 'roundrectangle 8,8 247,247 44,44' \
    -fill '#2f7fd6' -draw 'roundrectangle 8,8 247,160 44,44' \
    -fill white -draw 'polygon 52,62 98,62 128,168 158,62 204,62 150,214 106,214' \
    -fill '#ffd34d' -draw 'polygon 204,20 214,46 240,56 214,66 204,92 194,66 168,56 194,46' \
    "$work/icon-256.png"

convert "$work/icon-256.png" -depth 8 -define icon:auto-resize=256,64,48,40,32,24,20,16 src/app/velstrand.ico
echo "wrote src/app/velstrand.ico"
