#!/usr/bin/env bash
# Runs the sweep benchmark: under Wine against the real file system (arguments go to the program), or with
# --scaling natively on the in-memory substitute, built without sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

if [ "${1:-}" = "--scaling" ]; then
    cmake --preset native -B build/native-bench -DCMAKE_BUILD_TYPE=Release -DVELSTRAND_SANITIZE=OFF >/dev/null
    cmake --build build/native-bench --target velstrand_bench
    exec build/native-bench/bench/velstrand_bench
fi

cmake --preset windows >/dev/null
cmake --build --preset windows --target velstrand_bench
source scripts/wine-env.sh
trap wine_env_stop EXIT
wine_env_start
wine build/windows/bench/velstrand_bench.exe "$@"
