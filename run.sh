#!/usr/bin/env bash
# Installs what is missing, builds a release build and starts the monitor.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANDREL_TESTS=OFF \
    -DVANDREL_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)"

exec "$build/bin/vandrel-monitor" "$@"
