#!/usr/bin/env bash
# Takes a picture of every window in both languages on a virtual X display and writes them to
# docs/screens/ (NAME-en.png, NAME-ja.png), with the demo trips read from the simulated drive:
# the old trace's over voltage (overvoltage-*.png), then the new trace's over current, which
# every other picture shows.
# Usage: scripts/screenshots.sh [build-folder]   (default build/test, as ./test.sh builds it)
# QT_SCALE_FACTOR=2 scripts/screenshots.sh shows the windows as on a high-density screen.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh xvfb

build=${1:-build/test}
if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANDREL_WERROR=ON >/dev/null
fi
cmake --build "$build" --target vandrel-screens vandrel-drive-sim
screens=$(cd "$build" && pwd)/bin/vandrel-screens
sim=$(cd "$build" && pwd)/bin/vandrel-drive-sim

# A private display, settings folder and working folder: nothing of the user's is read or
# changed, and several runs may go on side by side.
work=$(mktemp -d)
xvfb=
drive=
cleanup() {
    [[ -n "$xvfb" ]] && kill "$xvfb" 2>/dev/null || true
    [[ -n "$drive" ]] && kill "$drive" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
    [[ -s "$work/display" ]] && break
    kill -0 "$xvfb" 2>/dev/null || break
    sleep 0.1
done
if [[ ! -s "$work/display" ]]; then
    echo "screenshots.sh: the virtual display did not start" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi
display=:$(head -n 1 "$work/display")

# The simulated drive prints the pseudo-terminal it serves as its first line.
"$sim" >"$work/drive" 2>"$work/drive.log" &
drive=$!
for _ in $(seq 100); do
    [[ -s "$work/drive" ]] && break
    kill -0 "$drive" 2>/dev/null || break
    sleep 0.1
done
pty=$(head -n 1 "$work/drive")
if [[ ! -c "$pty" ]]; then
    echo "screenshots.sh: the simulated drive did not start" >&2
    cat "$work/drive.log" >&2
    exit 1
fi

# The pictures replace the committed ones only when every window could be pictured.
out=$work/screens
mkdir -p "$out" "$work/home" "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
(
    cd "$work"
    env -u WAYLAND_DISPLAY DISPLAY="$display" QT_QPA_PLATFORM=xcb \
        HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
        LANG=C.UTF-8 LC_ALL=C.UTF-8 \
        timeout 300 "$screens" "$out" "$pty"
)
mkdir -p docs/screens
rm -f docs/screens/*.png
cp "$out"/*.png docs/screens/
echo "screenshots.sh: $(ls docs/screens/*.png | wc -l) pictures in docs/screens/"
