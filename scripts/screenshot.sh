#!/usr/bin/env bash
# Renders Velstrand's window on a private virtual display, with Chinese fonts, into docs/screenshot.png.
# Builds what it needs and uses the demo prefix and game folder of scripts/make-demo.sh. Needs no desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out=${1:-$root/docs/screenshot.png}

bash scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Velstrand app_stub_client >/dev/null
tool=$(bash scripts/make-demo.sh)

export WINEPREFIX=${VELSTRAND_DEMO_PREFIX:-$root/build/demo-prefix}
unset VELSTRAND_KEEP_DISPLAY
source scripts/wine-env.sh
trap wine_env_stop EXIT
wine_env_start

# A virtual desktop of the window's size plus a margin draws the frame that a bare X server would not.
width=420
height=170
(cd "$tool" && LANG=zh_CN.UTF-8 wine explorer "/desktop=Velstrand,${width}x${height}" Velstrand.exe \
    </dev/null >/dev/null 2>&1 &)

# The window is up once the desktop shows more than its background colour.
shot=$(mktemp --suffix=.png)
for _ in $(seq 1 150); do
    sleep 0.2
    import -window root -crop "${width}x${height}+0+0" +repage "$shot" 2>/dev/null || continue
    colours=$(convert "$shot" -format %k info: 2>/dev/null || echo 0)
    [ "$colours" -gt 40 ] && break
done
# One more frame, so that every control has painted its text.
sleep 1
import -window root -crop "${width}x${height}+0+0" +repage "$shot"
mkdir -p "$(dirname "$out")"
mv "$shot" "$out"
echo "wrote $out"
