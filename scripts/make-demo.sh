#!/usr/bin/env bash
# Prepares a demonstration of Velstrand under Wine, all of it under build/ and rebuilt from scratch each time:
#   build/demo-prefix    a Wine prefix of its own whose registry names the demo game folders
#                        (HKCU\Software\Tencent\DNF\Path and DNFTest\Path)
#   build/demo/game      a game folder with leftover .tdl/.spk/.dmp files, a trace log and a stand-in client
#   build/demo/game-test the same for the experience server
#   build/demo/tool      Velstrand.exe with the prefix's own taskkill.exe beside it
# Expects the windows preset to be built (Velstrand.exe and the stand-in client). Prints the tool folder.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

build=$root/build/windows
demo=$root/build/demo
export WINEPREFIX=${VELSTRAND_DEMO_PREFIX:-$root/build/demo-prefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

for file in "$build/Velstrand.exe" "$build/tests/app/app_stub_client.exe"; do
    if [ ! -f "$file" ]; then
        echo "missing $file: build the windows preset first (cmake --preset windows && cmake --build --preset windows)" >&2
        exit 1
    fi
done

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "==> Making the demo Wine prefix $WINEPREFIX" >&2
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot -i </dev/null >/dev/null 2>&1 || true
    wineserver -w
fi

# Wine shows the Linux file system as drive Z:.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

make_game() { # make_game <folder> <client name>
    local game=$1 client=$2
    rm -rf "$game"
    mkdir -p "$game/start/TenProtect" "$game/data/map/cache" "$game/ImagePacks2" "$game/.git/objects"
    echo "crash dump" >"$game/DNF_20261207.dmp"
    echo "crash dump" >"$game/start/TenProtect/TP_1.dmp"
    echo "leftover" >"$game/data/map/cache/a1.tdl"
    echo "leftover" >"$game/data/map/cache/a2.tdl"
    echo "leftover" >"$game/ImagePacks2/update.spk"
    echo "trace" >"$game/start/TenProtect/BugTrace.log"
    # These stay: other extensions, and a dot folder that the sweep does not enter.
    echo "keep" >"$game/ImagePacks2/sprite.NPK"
    echo "keep" >"$game/data/map/cache/a1.tdlx"
    echo "keep" >"$game/.git/objects/kept.tdl"
    echo "keep" >"$game/start/TenProtect/TenProtect.ini"
    # The client stand-in writes <name>.started (how it was started and when) beside itself and ends.
    cp "$build/tests/app/app_stub_client.exe" "$game/start/$client"
}

make_game "$demo/game" DNFchina.exe
make_game "$demo/game-test" DNFchinaTest.exe

rm -rf "$demo/tool"
mkdir -p "$demo/tool"
cp "$build/Velstrand.exe" "$demo/tool/"
cp "$WINEPREFIX/drive_c/windows/system32/taskkill.exe" "$demo/tool/"

wine reg add 'HKCU\Software\Tencent\DNF' /v Path /t REG_SZ /d "$(windows_path "$demo/game")" /f \
    </dev/null >/dev/null 2>&1
# Written with forward slashes, as some installers do: the window shows it with backslashes.
wine reg add 'HKCU\Software\Tencent\DNFTest' /v Path /t REG_SZ /d "Z:$demo/game-test" /f \
    </dev/null >/dev/null 2>&1

echo "$demo/tool"
