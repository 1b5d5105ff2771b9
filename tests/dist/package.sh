#!/usr/bin/env bash
# Packs the build as a Debian package, unpacks it into a scratch root and checks what a user
# gets: the file name, the exact list of files, library dependencies found from the programs
# (Qt among them), programs that carry no path into the build folder, and an installed monitor
# that answers --version and, where a virtual X display can be had, opens a trace file named
# on its command line as a file manager starts it.
# Usage: package.sh BUILD_DIR VERSION SOURCE_DIR TEST_DATA_DIR
set -euo pipefail
build=$1 version=$2 source=$3 data=$4

for tool in cpack dpkg-deb dpkg-shlibdeps file readelf; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIPPED: $tool is missing (scripts/install-deps.sh installs it)"
        exit 77
    fi
done

scratch=$(mktemp -d)
monitor_pid= xvfb_pid=
cleanup() {
    for pid in $monitor_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
    done
    rm -rf "$scratch"
}
trap cleanup EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

arch=$(dpkg --print-architecture)
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log"
    exit 1
fi
deb=$scratch/out/vandrel-monitor_${version}_$arch.deb
if [[ ! -f $deb ]]; then
    ls "$scratch/out"
    echo "FAIL: no $(basename "$deb")"
    exit 1
fi

[[ $(dpkg-deb -f "$deb" Package) == vandrel-monitor ]] || fail "package name"
[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "version $(dpkg-deb -f "$deb" Version)"
[[ $(dpkg-deb -f "$deb" Architecture) == "$arch" ]] || fail "architecture"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6charts6 \
    libqt6serialport6 libqt6printsupport6; do
    [[ ", $depends," == *", $library "* || ", $depends," == *", $library,"* ]] ||
        fail "Depends lacks $library"
done

expected=$(
    cat <<'LIST'
./usr/bin/vandrel-drive-sim
./usr/bin/vandrel-monitor
./usr/bin/vandrel-trace
./usr/share/applications/vandrel-monitor.desktop
./usr/share/icons/hicolor/128x128/apps/vandrel-monitor.png
./usr/share/icons/hicolor/256x256/apps/vandrel-monitor.png
./usr/share/icons/hicolor/32x32/apps/vandrel-monitor.png
./usr/share/icons/hicolor/64x64/apps/vandrel-monitor.png
./usr/share/icons/hicolor/scalable/apps/vandrel-monitor.svg
./usr/share/metainfo/com.norvex.vandrel_monitor.metainfo.xml
./usr/share/mime/packages/vandrel-monitor.xml
LIST
)
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
if [[ $files != "$expected" ]]; then
    fail "files in the package differ from the expected list"
    diff <(echo "$expected") <(echo "$files") || true
fi

root=$scratch/root
dpkg -x "$deb" "$root"
for program in vandrel-monitor vandrel-trace vandrel-drive-sim; do
    if readelf -d "$root/usr/bin/$program" | grep -E 'RPATH|RUNPATH' | grep -qF "$build"; then
        fail "$program looks for libraries in the build folder"
    fi
done

# --version needs no display; the installed program uses the system's Qt.
revision=unknown
if git -C "$source" rev-parse --short HEAD >/dev/null 2>&1; then
    revision=$(git -C "$source" rev-parse --short HEAD)
fi
if out=$(env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/vandrel-monitor" --version); then
    first=$(sed -n 1p <<<"$out")
    second=$(sed -n 2p <<<"$out")
    [[ $first == "Norvex Vandrel Monitor Version $version" ]] || fail "--version says '$first'"
    [[ $second == "Git revision: $revision"* ]] || fail "--version's revision line is '$second'"
else
    fail "installed vandrel-monitor --version exits $?"
fi

# The desktop entry's command with a trace file, on a virtual display: the main window comes
# up captioned with the file's name.
if command -v Xvfb >/dev/null && command -v xwininfo >/dev/null; then
    cp "$data/typeE.vnx" "$scratch/TRIP.VNX"
    # Xvfb picks a free display and writes its number once it accepts clients.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" \
        >"$scratch/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [[ -s $scratch/display ]] && break
        sleep 0.1
    done
    if [[ ! -s $scratch/display ]]; then
        cat "$scratch/xvfb.log"
        echo "note: Xvfb did not start; the start with a file is not checked"
        [[ $failures -eq 0 ]] || exit 1
        exit 0
    fi
    display=:$(head -n 1 "$scratch/display")
    exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/vandrel-monitor.desktop")
    command=${exec_line/\%f/$scratch/TRIP.VNX}
    title="Norvex Vandrel Monitor Version $version   TRIP.VNX"
    found=
    # A second try when the program could not reach the display at all: a busy machine has
    # been seen to start the monitor before the new display took clients.
    for attempt in 1 2; do
        # shellcheck disable=SC2086 # the entry's command is split as a launcher splits it
        (cd "$scratch" && exec env -u QT_QPA_PLATFORM DISPLAY="$display" PATH="$root/usr/bin:$PATH" \
            HOME="$scratch" XDG_CONFIG_HOME="$scratch/config" $command >"$scratch/monitor.log" 2>&1) &
        monitor_pid=$!
        for _ in $(seq 600); do
            if xwininfo -display "$display" -root -tree 2>/dev/null | grep -qF "\"$title\""; then
                found=yes
                break
            fi
            kill -0 "$monitor_pid" 2>/dev/null || break
            sleep 0.1
        done
        [[ -n $found ]] && break
        grep -q "could not connect to display" "$scratch/monitor.log" || break
        if [[ $attempt -eq 1 ]]; then sleep 1; fi
    done
    [[ -n $found ]] || {
        fail "no window \"$title\" from '$exec_line'"
        cat "$scratch/monitor.log"
    }
else
    echo "note: Xvfb or xwininfo missing; the start with a file is not checked"
fi

[[ $failures -eq 0 ]] || exit 1
echo "package $(basename "$deb"): all checks passed"
