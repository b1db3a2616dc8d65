#!/usr/bin/env bash
# Renews the README's pictures from the demo's headless run (scripts/run.sh without a display): the window on the
# demo game folder into docs/screenshot.png, and the completion message over it into docs/completion.png.
set -euo pipefail
cd "$(dirname "$0")/.."

env -u DISPLAY bash scripts/run.sh
cp build/demo/window.png docs/screenshot.png
cp build/demo/message.png docs/completion.png
echo "wrote docs/screenshot.png and docs/completion.png"
