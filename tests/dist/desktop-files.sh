#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks the desktop integration there: every file
# in place, icons of the size their folder names, the desktop entry and the software-centre
# file valid, and trace files recognised by name, in either case, from the installed MIME data.
# Usage: desktop-files.sh BUILD_DIR VERSION TEST_DATA_DIR
set -euo pipefail
build=$1 version=$2 data=$3

for tool in desktop-file-validate appstreamcli update-mime-database update-desktop-database \
    xdg-mime mimetype; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIPPED: $tool is missing (scripts/install-deps.sh installs it)"
        exit 77
    fi
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/usr
cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

for program in vandrel-monitor vandrel-trace vandrel-drive-sim; do
    [[ -x $prefix/bin/$program ]] || fail "bin/$program is not installed"
done
desktop=$share/applications/vandrel-monitor.desktop
metainfo=$share/metainfo/com.norvex.vandrel_monitor.metainfo.xml
for file in "$desktop" "$metainfo" "$share/mime/packages/vandrel-monitor.xml" \
    "$share/icons/hicolor/scalable/apps/vandrel-monitor.svg"; do
    [[ -f $file ]] || fail "${file#"$prefix"/} is not installed"
done

# A PNG's width and height stand at bytes 16..23, big-endian.
for size in 32 64 128 256; do
    icon=$share/icons/hicolor/${size}x$size/apps/vandrel-monitor.png
    if [[ ! -f $icon ]]; then
        fail "no ${size}x$size icon"
        continue
    fi
    read -r width height < <(od -An -tu1 -j16 -N8 "$icon" |
        awk '{print ($1*16777216+$2*65536+$3*256+$4), ($5*16777216+$6*65536+$7*256+$8)}')
    [[ "$width x $height" == "$size x $size" ]] || fail "${size}x$size icon is $width x $height"
done
grep -q '<svg' "$share/icons/hicolor/scalable/apps/vandrel-monitor.svg" || fail "scalable icon is no SVG"

desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo has no release $version"
for line in 'Exec=vandrel-monitor %f' 'Icon=vandrel-monitor' 'Name\[ja\]=.' 'Comment\[ja\]=.' \
    'MimeType=application/x-vandrel-vnx;application/x-vandrel-vnb;'; do
    grep -q "^$line" "$desktop" || fail "desktop entry lacks $line"
done

# Names as a file manager sees them, against the installed database only (no user data).
export XDG_DATA_DIRS=$share:/usr/share XDG_DATA_HOME=$scratch/home-data XDG_CONFIG_HOME=$scratch/config
export XDG_CONFIG_DIRS=$scratch/config HOME=$scratch
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID
update-mime-database "$share/mime"
update-desktop-database "$share/applications"
mkdir -p "$scratch/files"
for name in trip.vnx TRIP.VNX Trip.Vnx run.vnb RUN.VNB; do
    case ${name,,} in
    *.vnx) type=application/x-vandrel-vnx source=$data/typeE.vnx ;;
    *) type=application/x-vandrel-vnb source=$data/standard.vnb ;;
    esac
    cp "$source" "$scratch/files/$name"
    got=$(xdg-mime query filetype "$scratch/files/$name")
    [[ $got == "$type" ]] || fail "$name is $got, not $type"
    handler=$(xdg-mime query default "$type")
    [[ $handler == vandrel-monitor.desktop ]] || fail "$type opens with '$handler'"
done

[[ $failures -eq 0 ]] || exit 1
echo "desktop files: all checks passed"
