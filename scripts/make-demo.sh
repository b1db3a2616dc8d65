#!/usr/bin/env bash
# Prepares a demonstration of Velstrand under Wine, all of it under build/ and rebuilt from scratch each time:
#   build/demo-prefix      a Wine prefix of its own, whose drive D: is build/demo/drive and whose registry names
#                          the demo game folders (HKCU\Software\Tencent\DNF\Path and DNFTest\Path)
#   D:\地下城与勇士          the official game: leftovers to delete, files that must stay (see build/demo/kept.txt),
#                          a trace log and a stand-in client
#   D:\地下城与勇士体验服    the same for the experience server, recorded with forward slashes
#   build/demo/outside     a folder outside the game that a link inside it leads to
#   build/demo/tool        Velstrand.exe with the prefix's own taskkill.exe beside it
# Expects the windows preset to be built (Velstrand.exe and the tests' stand-in). Prints the tool folder.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

build=$root/build/windows
demo=$root/build/demo
source scripts/wine-env.sh
wine_env_use_prefix "${VELSTRAND_DEMO_PREFIX:-$root/build/demo-prefix}"
# Wine reads the Chinese folder names on its command lines as UTF-8.
export LC_ALL=C.UTF-8

for file in "$build/Velstrand.exe" "$build/tests/velstrand_stand_in.exe"; do
    if [ ! -f "$file" ]; then
        echo "missing $file: build the windows preset first (cmake --preset windows && cmake --build --preset windows)" >&2
        exit 1
    fi
done

wine_env_make_prefix

official_name=地下城与勇士
experience_name=地下城与勇士体验服
rm -rf "$demo"
mkdir -p "$demo/drive" "$demo/outside"
ln -sfn "$demo/drive" "$WINEPREFIX/dosdevices/d:"

# make_game <name> <client>: a game folder below D:, its leftovers, and what must stay, with the reason why in
# build/demo/kept.txt for the official game.
make_game() {
    local game=$demo/drive/$1 client=$2
    mkdir -p "$game/start/TenProtect" "$game/data/map/cache" "$game/ImagePacks2" "$game/.git/objects"
    echo "crash dump" >"$game/DNF_20261207.dmp"
    echo "crash dump" >"$game/start/TenProtect/TP_1.dmp"
    echo "leftover" >"$game/data/map/cache/a1.tdl"
    echo "leftover" >"$game/data/map/cache/A2.TDL"
    echo "leftover" >"$game/ImagePacks2/update.spk"
    echo "trace" >"$game/start/TenProtect/BugTrace.log"
    echo "keep" >"$game/ImagePacks2/sprite.NPK"
    echo "keep" >"$game/data/map/cache/a1.tdlx"
    echo "keep" >"$game/.git/objects/kept.tdl"
    echo "keep" >"$game/start/TenProtect/TenProtect.ini"
    echo "keep" >"$game/hidden.dmp"
    echo "keep" >"$game/system.spk"
    echo "keep" >"$game/read-only.tdl"
    chmod 444 "$game/read-only.tdl"
    ln -s "$demo/outside" "$game/linked"
    # The tests' stand-in records how it was started in <name>.record beside itself and ends.
    cp "$build/tests/velstrand_stand_in.exe" "$game/start/$client"
}

make_game "$official_name" DNFchina.exe
make_game "$experience_name" DNFchinaTest.exe
echo "keep" >"$demo/outside/behind-the-link.tdl"
cat >"$demo/kept.txt" <<'KEPT'
ImagePacks2/sprite.NPK	another extension
data/map/cache/a1.tdlx	a near-miss extension (only its 8.3 alias would match *.tdl)
.git/objects/kept.tdl	under a folder whose name begins with "."
start/TenProtect/TenProtect.ini	another extension
hidden.dmp	hidden
system.spk	a system file
read-only.tdl	read-only
linked/behind-the-link.tdl	behind a link that leads out of the game folder
start/DNFchina.exe	the client
KEPT

for name in "$official_name" "$experience_name"; do
    wine attrib +h "D:\\$name\\hidden.dmp" </dev/null >/dev/null 2>&1
    wine attrib +s "D:\\$name\\system.spk" </dev/null >/dev/null 2>&1
done

rm -rf "$demo/tool"
mkdir -p "$demo/tool"
cp "$build/Velstrand.exe" "$demo/tool/"
cp "$WINEPREFIX/drive_c/windows/system32/taskkill.exe" "$demo/tool/"

wine reg add 'HKCU\Software\Tencent\DNF' /v Path /t REG_SZ /d "D:\\$official_name" /f </dev/null >/dev/null 2>&1
# Recorded with forward slashes, as some installers do: the window shows it with backslashes.
wine reg add 'HKCU\Software\Tencent\DNFTest' /v Path /t REG_SZ /d "D:/$experience_name" /f \
    </dev/null >/dev/null 2>&1

echo "$demo/tool"
