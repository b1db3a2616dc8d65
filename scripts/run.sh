#!/usr/bin/env bash
# Builds Velstrand and shows it at work on a demo game folder under Wine (see scripts/make-demo.sh), with Chinese
# fonts. With a display it opens the window for you to use. Without one it goes through one whole repair by
# itself on a private virtual display, tells what happened to the game folder, and leaves pictures of the window
# and of the completion message in build/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh
echo "==> Building (preset windows)"
cmake --preset windows >/dev/null
# The demo's stand-in client and its driver come with the tests, which a build folder may have been configured
# without (as the Windows build in the README is): say so, rather than let the build name unknown targets.
if cmake -N -L build/windows 2>/dev/null | grep -qiE '^VELSTRAND_TESTS:BOOL=(OFF|0|NO|FALSE|N)$'; then
    echo "run.sh: build/windows is configured with VELSTRAND_TESTS=OFF, but the demo needs the tests' stand-in" \
        "client and support library: cmake --preset windows -DVELSTRAND_TESTS=ON, then run this again" >&2
    exit 1
fi
cmake --build --preset windows --target Velstrand velstrand_stand_in velstrand_demo_driver

echo "==> Preparing the demo"
tool=$(bash scripts/make-demo.sh)
demo=$root/build/demo
game=$demo/drive/地下城与勇士
source scripts/wine-env.sh
wine_env_use_prefix "${VELSTRAND_DEMO_PREFIX:-$root/build/demo-prefix}"
# A Chinese locale of the demo's own, which no system setting needs: Wine then draws the captions with a Chinese
# font and reads the game folder's Chinese name as UTF-8.
if [ ! -d build/locale/zh_CN.UTF-8 ]; then
    mkdir -p build/locale
    localedef -i zh_CN -f UTF-8 build/locale/zh_CN.UTF-8 || true
fi
export LOCPATH=$root/build/locale
export LANG=zh_CN.UTF-8

if [ -n "${DISPLAY:-}" ]; then
    echo "==> Opening Velstrand ($tool/Velstrand.exe, Wine prefix $WINEPREFIX)"
    echo "    Game folders: D:\\地下城与勇士 (正式服) and D:\\地下城与勇士体验服 (体验服), drive D: being build/demo/drive."
    echo "    A run deletes their leftover files and starts a stand-in client that writes start/<client>.record."
    # A window of its own on your desktop, not in a virtual one.
    wine_env_desktop off
    cd "$tool"
    exec wine Velstrand.exe
fi

echo "==> No display: one whole repair on a private virtual display"
# A desktop of Wine's own draws the window frames that a bare X server would not.
wine_env_desktop on
trap wine_env_stop EXIT
wine_env_start

# Every file in the game folder, relative to it; what lies behind the link is listed through it.
files_in_game() { (cd "$game" && find . -type f -printf '%P\n'; find -L linked -type f 2>/dev/null) | sort; }
before=$(files_in_game)

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
driver_status=0
wine "$root/build/windows/demo/velstrand_demo_driver.exe" "$(windows_path "$tool")" \
    "$(windows_path "$demo")" </dev/null | sed 's/^/    /' || driver_status=$?
[ "${PIPESTATUS[0]}" -eq 0 ] || driver_status=1
after=$(files_in_game)

status=$driver_status
echo "==> The game folder D:\\地下城与勇士 (build/demo/drive/地下城与勇士)"
echo "    Deleted:"
comm -23 <(echo "$before") <(echo "$after") | sed 's/^/      /'
echo "    Kept, and why:"
while IFS=$'\t' read -r file reason; do
    if [ -e "$game/$file" ]; then
        printf '      %-40s %s\n' "$file" "$reason"
    else
        printf '      %-40s DELETED, though it should have stayed (%s)\n' "$file" "$reason"
        status=1
    fi
done <"$demo/kept.txt"
left=$(comm -12 <(echo "$before") <(echo "$after") | grep -vxF -f <(cut -f1 "$demo/kept.txt") || true)
if [ -n "$left" ]; then
    echo "    Left behind, though it should have gone:"
    echo "$left" | sed 's/^/      /'
    status=1
fi

for picture in window message; do
    if [ -f "$demo/$picture.bmp" ]; then
        convert "$demo/$picture.bmp" "$demo/$picture.png" && rm -f "$demo/$picture.bmp"
    fi
done
echo "==> Pictures: build/demo/window.png (the window), build/demo/message.png (the completion message)"
exit $status
