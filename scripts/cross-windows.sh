#!/usr/bin/env bash
# Builds the core library for 64-bit Windows with Debian's MinGW-w64 cross compiler, warnings as
# errors, so that the part of the program without Qt stays portable. The core is linked once
# more as a DLL, which resolves every symbol it uses against the Windows runtime, and the
# monitor's resource script (icon, version) is compiled.
# Usage: scripts/cross-windows.sh [BUILD_DIR]   (default build/mingw-core)
# Exits 77 when no MinGW-w64 compiler is installed (scripts/install-deps.sh installs one).
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$source_dir/build/mingw-core}

cxx=
for candidate in x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-g++; do
    if command -v "$candidate" >/dev/null; then
        cxx=$(command -v "$candidate")
        break
    fi
done
if [[ -z $cxx ]]; then
    echo "SKIPPED: no MinGW-w64 compiler (x86_64-w64-mingw32-g++); the Windows build of the core is not checked"
    exit 77
fi

generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
cmake -S "$source_dir" -B "$build" "${generator[@]}" -DCMAKE_SYSTEM_NAME=Windows \
    -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_RC_COMPILER="${cxx%g++*}windres" -DCMAKE_BUILD_TYPE=Release -DVANDREL_CORE_ONLY=ON \
    -DVANDREL_WERROR=ON >/dev/null
cmake --build "$build" --parallel "$(nproc)"

dll=$(find "$build" -name '*core-linkcheck*.dll' | head -n 1)
objdump=${cxx%g++*}objdump
if [[ -z $dll ]] || ! "$objdump" -f "$dll" | grep -q 'file format pei-x86-64'; then
    echo "FAIL: no 64-bit Windows DLL of the core in $build"
    exit 1
fi
echo "core built for Windows with $(basename "$cxx"): $dll"
