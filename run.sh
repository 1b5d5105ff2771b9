#!/usr/bin/env bash
# Installs what is missing, builds a release build and starts the monitor, with a simulated
# drive attached as COM1 for this run (set VANDREL_NO_SIM=1 to use COM1 as configured).
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANDREL_TESTS=OFF \
    -DVANDREL_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)"

monitor_args=()
if [[ "${VANDREL_NO_SIM:-}" != 1 && "$(uname -s)" != MINGW* ]]; then
    sim_out=$(mktemp)
    "$build/bin/vandrel-drive-sim" >"$sim_out" &
    sim_pid=$!
    trap 'kill "$sim_pid" 2>/dev/null; rm -f "$sim_out"' EXIT
    for _ in $(seq 50); do
        [[ -s "$sim_out" ]] && break
        sleep 0.1
    done
    device=$(head -n 1 "$sim_out")
    if [[ -n "$device" ]]; then
        echo "demo drive on $device, attached as COM1"
        monitor_args=(--port-map "COM1=$device")
    else
        echo "vandrel-drive-sim did not start; COM1 stays as configured" >&2
    fi
fi

"$build/bin/vandrel-monitor" "${monitor_args[@]}" "$@"
