#!/usr/bin/env bash
# Builds Velstrand and opens it under Wine on a demo game folder (see scripts/make-demo.sh), with Chinese fonts.
# Needs a display: a desktop session, or a virtual one, e.g. `xvfb-run -a bash scripts/run.sh`.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
echo "==> Building (preset windows)"
cmake --preset windows >/dev/null
cmake --build --preset windows --target Velstrand app_stub_client

echo "==> Preparing the demo"
tool=$(bash scripts/make-demo.sh)
export WINEPREFIX=${VELSTRAND_DEMO_PREFIX:-$(pwd)/build/demo-prefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ -z "${DISPLAY:-}" ]; then
    cat >&2 <<'MESSAGE'
No display: $DISPLAY is not set, so the window has nowhere to open.
Run this from a desktop session (or over `ssh -X`), or give it a virtual display:
    xvfb-run -a bash scripts/run.sh
To see the window without a desktop, render it into docs/screenshot.png instead:
    bash scripts/screenshot.sh
MESSAGE
    exit 2
fi

echo "==> Opening Velstrand ($tool/Velstrand.exe, Wine prefix $WINEPREFIX)"
echo "    Game folders: build/demo/game (正式服), build/demo/game-test (体验服); a run deletes their"
echo "    leftover files and starts a stand-in client that writes start/<client>.started."
cd "$tool"
LANG=zh_CN.UTF-8 wine Velstrand.exe
