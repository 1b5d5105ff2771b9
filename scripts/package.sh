#!/usr/bin/env bash
# Builds a release build in build/package and packs it as a Debian package with CPack:
# build/package/vandrel-monitor_<version>_<arch>.deb, whose path is the last line printed.
# Install it with: sudo apt install ./build/package/vandrel-monitor_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

build=build/package
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANDREL_TESTS=OFF \
    -DVANDREL_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)"
rm -f "$build"/vandrel-monitor_*.deb
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$build" >&2
debs=("$build"/vandrel-monitor_*.deb)
if [[ ! -f ${debs[0]} ]]; then
    echo "package.sh: CPack made no package" >&2
    exit 1
fi
realpath "${debs[0]}"
