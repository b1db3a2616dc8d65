#!/usr/bin/env bash
# Runs the lint (scripts/lint.sh), then every test: the portable logic natively (under ASan and UBSan), then the
# Windows program and its tests under Wine. Installs what it misses first. Ends with ctest's summary.
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh || exit 1

status=0

# A lint failure fails the run, but the tests still run, so that one run shows everything.
echo "==> Linting (clang-format, clang-tidy)"
bash scripts/lint.sh || status=1

echo "==> Building and testing the portable logic (preset native)"
if cmake --preset native >/dev/null && cmake --build --preset native; then
    ctest --preset native -j2 || status=1
else
    echo "native build failed" >&2
    status=1
fi

echo "==> Building the Windows program and its tests (preset windows)"
if cmake --preset windows >/dev/null && cmake --build --preset windows; then
    source scripts/wine-env.sh
    trap wine_env_stop EXIT
    if wine_env_start; then
        echo "==> Running the Windows tests under Wine (prefix $WINEPREFIX, display $DISPLAY)"
        ctest --preset windows || status=1
    else
        echo "the Windows tests did not run: no Wine environment (see above)" >&2
        status=1
    fi
    wine_env_stop
else
    echo "windows build failed" >&2
    status=1
fi

exit $status
