#!/usr/bin/env bash
# Builds the whole test suite with AddressSanitizer and UndefinedBehaviorSanitizer (gcc) into
# build/sanitize and runs it with leak detection on. Arguments go to ctest (e.g. -R tst_TForm5).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

build=build/sanitize
sanitizers="-fsanitize=address,undefined -fno-omit-frame-pointer"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANDREL_WERROR=ON \
    -DVANDREL_BENCH=OFF -DVANDREL_TEST_TIMEOUT=600 -DCMAKE_CXX_FLAGS="$sanitizers" \
    -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" >/dev/null
cmake --build "$build" --parallel "$(nproc)"

# The test programs start the simulator, the command-line tool and the monitor; all of them
# are built here too and inherit these settings. No leak is suppressed.
# strict_string_checks is left off: it reports system libraries (libxkbcommon's strndup of a
# terminated string with a larger bound) that are correct by the C rules.
export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export QT_QPA_PLATFORM=offscreen
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" "$@"
