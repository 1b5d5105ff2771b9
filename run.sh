#!/usr/bin/env bash
# Installs what is missing, builds a release build and starts the monitor with a simulated
# drive attached as COM1 (./run.sh --no-sim: the real ports only).
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANDREL_TESTS=OFF \
    -DVANDREL_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)"

monitor="$build/bin/vandrel-monitor"
if [[ "${1:-}" == "--no-sim" ]]; then
    shift
    exec "$monitor" "$@"
fi

# The simulator prints the pseudo-terminal it serves as its first line, then answers reads
# until it is stopped.
sim_out=$(mktemp)
"$build/bin/vandrel-drive-sim" >"$sim_out" &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; rm -f "$sim_out"' EXIT
for _ in $(seq 100); do
    [[ $(wc -l <"$sim_out") -ge 1 ]] && break
    kill -0 "$sim" 2>/dev/null || break
    sleep 0.1
done
pty=$(head -n 1 "$sim_out")
if [[ -c "$pty" ]]; then
    echo "run.sh: simulated drive on $pty is COM1 for this run"
    "$monitor" --attach "COM1=$pty" "$@"
else
    echo "run.sh: the simulated drive did not start; real ports only" >&2
    "$monitor" "$@"
fi
